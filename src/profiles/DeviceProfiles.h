#pragma once

#include "profiles/SettingLists.h"
#include "port/Kernel32.h"

#include <optional>

// The fixed device profiles: everything their connect routines do
// differently, in one table.
namespace profiles {

// What a profile does with the port between raising the lines and showing
// the connection.
enum class StartupStep { None, IrmanHandshake, AnswerPowerFailPoll };

// The send and display settings a profile selects once connected.
struct DisplaySettings {
    lists::TransmitType transmitType;
    int bytesPerLine;
    lists::Notation notation;
    bool crAndLf; // ticks CR and LF
};

struct FixedProfile {
    lists::Interface interface;
    lists::Speed speed; // 8 data bits, no parity, one stop bit, no handshake
    // The flags word written, made from the one read from the port.
    win32::DWORD (*flags)(win32::DWORD read);
    bool raiseBeforeTicking; // RTS and DTR raised on the port before their boxes are ticked
    StartupStep startup;
    std::optional<DisplaySettings> display; // none: SendData stays disabled
    bool pollsAfterFailedConnect;           // Timer1 starts even when the port could not be set up
};

// nullptr for an interface that is not a fixed profile.
const FixedProfile* FixedProfileOf(int interface);

win32::DWORD BinaryOnly(win32::DWORD read);
win32::DWORD KeepWithBinary(win32::DWORD read);

}
