#pragma once

#include "port/ModemLineHook.h"

// The port layer's side of the modem-line test hook.
namespace win32::testhook {

bool LinesEmulated(const QString& comName);
void RecordLineEvent(const QString& comName, LineEvent::Kind kind, bool on);
void RecordStrayClose();
DWORD EmulatedInputLines(const QString& comName);
DWORD TakeInputErrors(const QString& comName);

}
