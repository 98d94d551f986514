#include "profiles/DeviceProfiles.h"

#include <array>

namespace profiles {

win32::DWORD BinaryOnly(win32::DWORD)
{
    return win32::fBinary;
}

win32::DWORD KeepWithBinary(win32::DWORD read)
{
    return read | win32::fBinary;
}

namespace {

using namespace lists;

const std::array<FixedProfile, 4> Profiles{{
    {IRMan, Speed9600, BinaryOnly, true, StartupStep::IrmanHandshake, std::nullopt, true},
    {CreativeInfra, Speed4800, BinaryOnly, false, StartupStep::None, DisplaySettings{TxHex, 9, Hex, false}, true},
    {CM12X10, Speed4800, BinaryOnly, true, StartupStep::AnswerPowerFailPoll, DisplaySettings{TxHex, 1, Hex, false}, true},
    {GSMData, Speed115200, KeepWithBinary, false, StartupStep::None, DisplaySettings{TxChar, 0, Chr, true}, false},
}};

}

const FixedProfile* FixedProfileOf(int interface)
{
    for (const FixedProfile& profile : Profiles) {
        if (profile.interface == interface)
            return &profile;
    }
    return nullptr;
}

}
