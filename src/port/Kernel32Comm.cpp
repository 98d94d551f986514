#include "port/Kernel32.h"

#include "port/ComNames.h"
#include "port/DcbSettings.h"
#include "port/EmulatedLines.h"
#include "port/OpenFailure.h"
#include "port/PortHandles.h"
#include "port/SerialDevice.h"

#include <QString>
#include <chrono>
#include <thread>

namespace win32 {

namespace {

constexpr DWORD PST_RS232 = 1;

// Every change of DTR or RTS comes through here, so the test hook sees the
// ones SetCommState makes as well as EscapeCommFunction's.
bool SetLine(const porthandles::OpenPort& port, serialdevice::ModemLine line, bool on)
{
    if (testhook::LinesEmulated(port.comName)) {
        using serialdevice::ModemLine;
        testhook::RecordLineEvent(port.comName,
                                  line == ModemLine::Dtr   ? testhook::LineEvent::Dtr
                                      : line == ModemLine::Rts ? testhook::LineEvent::Rts
                                                               : testhook::LineEvent::Break,
                                  on);
        return true;
    }
    return port.remote ? port.remote->SetModemLine(line, on) : serialdevice::SetModemLine(port.fd, line, on);
}

// The DTR and RTS that the record's flags ask for. Lines a port lacks are no
// reason to refuse the settings.
void SetLinesOf(const porthandles::OpenPort& port, const DCB& dcb)
{
    SetLine(port, serialdevice::ModemLine::Dtr, dcbsettings::DtrControl(dcb) != DTR_CONTROL_DISABLE);
    SetLine(port, serialdevice::ModemLine::Rts, dcbsettings::RtsControl(dcb) != RTS_CONTROL_DISABLE);
}

// A remote port's settings go to its server, which must take every one.
BOOL SetRemoteState(porthandles::OpenPort& port, const DCB& dcb)
{
    QString failure;
    if (!port.remote->ApplySettings(dcbsettings::ToLineSettings(dcb), failure)) {
        // The connect that fails here shows why.
        openfailure::Remember(failure);
        return 0;
    }
    SetLinesOf(port, dcb);
    port.lastSet = dcb;
    return 1;
}

}

BOOL GetCommState(HANDLE file, DCB* dcb)
{
    const auto* port = porthandles::Find(file);
    if (!port || !dcb)
        return 0;
    if (port->lastSet) {
        *dcb = *port->lastSet;
        return 1;
    }
    serialdevice::LineSettings settings;
    if (port->remote)
        settings = port->remote->Settings();
    else if (!serialdevice::ReadLineSettings(port->fd, settings))
        return 0;
    *dcb = dcbsettings::FromLineSettings(settings);
    return 1;
}

BOOL SetCommState(HANDLE file, DCB* dcb)
{
    auto* port = porthandles::Find(file);
    if (!port || !dcb || !dcbsettings::Acceptable(*dcb))
        return 0;
    if (port->remote)
        return SetRemoteState(*port, *dcb);
    serialdevice::LineSettings before;
    if (!serialdevice::ReadLineSettings(port->fd, before))
        return 0;
    const auto wanted = dcbsettings::ToLineSettings(*dcb);
    if (!serialdevice::WriteLineSettings(port->fd, wanted))
        return 0;
    // A driver may quietly keep what it cannot do. Pseudo-terminals always
    // do so (8 data bits, no parity) yet pass the settings on, so only real
    // lines are checked.
    if (!port->pseudoTerminal) {
        serialdevice::LineSettings taken;
        if (!serialdevice::ReadLineSettings(port->fd, taken) || !wanted.SameFraming(taken)) {
            serialdevice::WriteLineSettings(port->fd, before);
            return 0;
        }
    }
    SetLinesOf(*port, *dcb);
    port->lastSet = *dcb;
    return 1;
}

BOOL GetCommTimeouts(HANDLE file, COMMTIMEOUTS* timeouts)
{
    const auto* port = porthandles::Find(file);
    if (!port || !timeouts)
        return 0;
    *timeouts = port->timeouts;
    return 1;
}

BOOL SetCommTimeouts(HANDLE file, COMMTIMEOUTS* timeouts)
{
    auto* port = porthandles::Find(file);
    if (!port || !timeouts)
        return 0;
    port->timeouts = *timeouts;
    return 1;
}

BOOL EscapeCommFunction(HANDLE file, DWORD function)
{
    const auto* port = porthandles::Find(file);
    if (!port)
        return 0;
    using serialdevice::ModemLine;
    switch (function) {
    case SETRTS: return SetLine(*port, ModemLine::Rts, true);
    case CLRRTS: return SetLine(*port, ModemLine::Rts, false);
    case SETDTR: return SetLine(*port, ModemLine::Dtr, true);
    case CLRDTR: return SetLine(*port, ModemLine::Dtr, false);
    case SETBREAK: return SetLine(*port, ModemLine::Break, true);
    case CLRBREAK: return SetLine(*port, ModemLine::Break, false);
    default: return 0;
    }
}

BOOL GetCommModemStatus(HANDLE file, DWORD* modemStat)
{
    const auto* port = porthandles::Find(file);
    if (!port || !modemStat)
        return 0;
    if (testhook::LinesEmulated(port->comName)) {
        *modemStat = testhook::EmulatedInputLines(port->comName)
            & (MS_CTS_ON | MS_DSR_ON | MS_RING_ON | MS_RLSD_ON);
        return 1;
    }
    const auto lines = port->remote ? port->remote->ReadInputLines() : serialdevice::ReadInputLines(port->fd);
    if (!lines)
        return 0;
    *modemStat = (lines->cts ? MS_CTS_ON : 0) | (lines->dsr ? MS_DSR_ON : 0)
        | (lines->ring ? MS_RING_ON : 0) | (lines->carrier ? MS_RLSD_ON : 0);
    return 1;
}

BOOL ClearCommError(HANDLE file, DWORD* errors, COMSTAT* stat)
{
    auto* port = porthandles::Find(file);
    if (!port || !errors)
        return 0;
    *errors = 0;
    if (stat)
        *stat = {0, 0, port->remote ? 0 : serialdevice::QueuedOutput(port->fd)};
    if (testhook::LinesEmulated(port->comName)) {
        *errors = testhook::TakeInputErrors(port->comName);
        return 1;
    }
    if (port->remote || !port->lossSeen)
        return 1;
    const auto now = serialdevice::ReadLossCounts(port->fd);
    if (!now)
        return 1;
    if (now->overrun != port->lossSeen->overrun)
        *errors |= CE_OVERRUN;
    if (now->bufferOverrun != port->lossSeen->bufferOverrun)
        *errors |= CE_RXOVER;
    port->lossSeen = now;
    return 1;
}

BOOL GetDefaultCommConfigA(const char* name, COMMCONFIG* config, DWORD* size)
{
    if (!name || !size)
        return 0;
    const QByteArray path = comnames::ComDevicePath(comnames::ComNumber(QString::fromLatin1(name)));
    if (path.isEmpty() || !comnames::IsPort(path))
        return 0;
    const DWORD needed = sizeof(COMMCONFIG);
    if (!config || *size < needed) {
        *size = needed;
        return 0;
    }
    *config = COMMCONFIG{};
    config->dwSize = needed;
    config->wVersion = 1;
    // Not opened (nor connected), so these are the usual defaults rather than the device's.
    serialdevice::LineSettings defaults;
    config->dcb = dcbsettings::FromLineSettings(defaults);
    config->dwProviderSubType = PST_RS232;
    *size = needed;
    return 1;
}

void Sleep(DWORD milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}
