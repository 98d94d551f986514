#include "profiles/StartupSteps.h"

#include "port/ModZemoPorts.h"

namespace profiles {

namespace {

constexpr char PowerFailPoll = char(0xA5);
constexpr char PollAnswer = char(0xFB);

}

void RunStartupStep(StartupStep step, win32::HANDLE port)
{
    switch (step) {
    case StartupStep::IrmanHandshake:
        win32::Sleep(500);
        modZEMO::WritePort(port, QByteArrayLiteral("I"));
        win32::Sleep(500);
        modZEMO::WritePort(port, QByteArrayLiteral("R"));
        win32::Sleep(100);
        break;
    case StartupStep::AnswerPowerFailPoll:
        win32::Sleep(100);
        if (modZEMO::ReadPort(port).startsWith(PowerFailPoll))
            modZEMO::WritePort(port, QByteArray(1, PollAnswer));
        break;
    case StartupStep::None:
        break;
    }
}

}
