#pragma once

#include "port/Kernel32.h"
#include "profiles/DeviceProfiles.h"

namespace profiles {

// A fixed profile's start-up on its freshly opened port: the IRMan's "I" and
// "R" after its power-up wait, or the answer to a CM11/CM12's power-fail poll
// (whatever that read takes is not shown).
void RunStartupStep(StartupStep step, win32::HANDLE port);

}
