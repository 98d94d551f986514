#pragma once

#include "port/Kernel32.h"
#include "port/RemoteDevice.h"

#include <QString>
#include <memory>
#include <optional>

// The table behind the handle values. A value is handed out once only, so a
// stale handle finds nothing instead of another port. Used from one thread:
// an entry found here stays valid until its handle is closed.
namespace win32::porthandles {

struct OpenPort {
    int fd = -1; // a local device
    std::unique_ptr<remoteport::RemoteDevice> remote; // or a port on another machine
    QString comName;            // "COMn"
    bool pseudoTerminal = false;
    // The driver's loss counts when last looked at (ClearCommError).
    std::optional<serialdevice::LossCounts> lossSeen;
    std::optional<DCB> lastSet; // the record of the last SetCommState that succeeded
    // Reads that return at once, until the program sets its own timeouts.
    COMMTIMEOUTS timeouts{MAXDWORD, 0, 0, 0, 0};
};

// INVALID_HANDLE_VALUE when no value is left to hand out.
HANDLE Add(OpenPort port);
// nullptr for a handle that was closed or never handed out.
OpenPort* Find(HANDLE handle);
// Removes the entry; nullopt when there was none.
std::optional<OpenPort> Take(HANDLE handle);
// Whether a remote port with this address key is open.
bool RemoteOpen(const QByteArray& key);

}
