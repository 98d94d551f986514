#include "port/Kernel32.h"

#include "port/ComNames.h"
#include "port/Deadline.h"
#include "port/EmulatedLines.h"
#include "port/OpenFailure.h"
#include "port/PortHandles.h"
#include "port/RemoteAddress.h"
#include "port/SerialDevice.h"

#include <algorithm>
#include <cerrno>

namespace win32 {

namespace {

// With no write time limit set, a driver that takes no byte at all for this
// long is taken to be stuck (flow control held off for good), so the window
// does not freeze for ever.
constexpr int WriteStallMs = 10000;

int ClampedMs(uint64_t ms)
{
    return int(std::min<uint64_t>(ms, INT32_MAX));
}

// Both parts zero means no limit.
std::optional<int> TotalTimeout(DWORD multiplier, DWORD constant, DWORD count)
{
    if (multiplier == 0 && constant == 0)
        return std::nullopt;
    return ClampedMs(uint64_t(multiplier) * count + constant);
}

// A local device as ReadFile reads it; a remote port has the same calls.
struct LocalDevice {
    int fd;
    std::optional<size_t> ReadAvailable(void* buffer, size_t size) const
    {
        return serialdevice::ReadAvailable(fd, buffer, size);
    }
    bool WaitReadable(int timeoutMs) const { return serialdevice::WaitReadable(fd, timeoutMs); }
};

// Reads that may wait, for the timeout records other than "return at once";
// got bytes are already in the buffer.
template <typename Device>
std::optional<size_t> ReadWithTimeouts(Device& device, char* buffer, DWORD size, const COMMTIMEOUTS& t,
                                       size_t got)
{
    using serialdevice::Deadline;
    const auto start = serialdevice::Clock::now();
    // Windows' special case: return as soon as anything is there, else wait
    // up to the constant.
    const bool firstBytesEnough
        = t.ReadIntervalTimeout == MAXDWORD && t.ReadTotalTimeoutMultiplier == MAXDWORD;
    const Deadline total = firstBytesEnough
        ? serialdevice::After(start, ClampedMs(t.ReadTotalTimeoutConstant))
        : serialdevice::After(start, TotalTimeout(t.ReadTotalTimeoutMultiplier,
                                                  t.ReadTotalTimeoutConstant, size));
    const bool intervalLimited = t.ReadIntervalTimeout != 0 && t.ReadIntervalTimeout != MAXDWORD;
    auto lastByte = start;

    while (got < size && !(firstBytesEnough && got > 0)) {
        Deadline deadline = total;
        if (intervalLimited && got > 0)
            deadline = serialdevice::Earlier(
                deadline, serialdevice::After(lastByte, ClampedMs(t.ReadIntervalTimeout)));
        const int waitMs = serialdevice::PollTimeout(deadline);
        if (waitMs == 0)
            break;
        if (!device.WaitReadable(waitMs))
            return std::nullopt;
        const auto more = device.ReadAvailable(buffer + got, size - got);
        if (!more)
            return std::nullopt;
        if (*more > 0) {
            got += *more;
            lastByte = serialdevice::Clock::now();
        }
    }
    return got;
}

// A port on another machine, connected within the wait limit of RemoteDevice.
HANDLE OpenRemote(const QByteArray& url, const QString& comName)
{
    QString failure;
    const auto address = remoteport::ParseAddress(url, failure);
    if (address && porthandles::RemoteOpen(address->Key()))
        failure = openfailure::Describe(url, EBUSY);
    auto device = failure.isEmpty() ? remoteport::RemoteDevice::Open(*address, failure) : nullptr;
    if (!device) {
        openfailure::Remember(failure);
        return INVALID_HANDLE_VALUE;
    }
    porthandles::OpenPort port;
    port.remote = std::move(device);
    port.comName = comName;
    const HANDLE handle = porthandles::Add(std::move(port));
    if (handle == INVALID_HANDLE_VALUE)
        openfailure::Remember(openfailure::Describe(url, EMFILE));
    return handle;
}

}

HANDLE CreateFileA(const char* fileName, DWORD, DWORD, SECURITY_ATTRIBUTES*,
                   DWORD creationDisposition, DWORD, HANDLE)
{
    openfailure::Remember({});
    if (!fileName || creationDisposition != OPEN_EXISTING)
        return INVALID_HANDLE_VALUE;
    const auto fail = [](const QByteArray& device, int error) {
        openfailure::Remember(openfailure::Describe(device, error));
        return INVALID_HANDLE_VALUE;
    };
    const int n = comnames::ComNumber(QString::fromLatin1(fileName));
    const QByteArray path = comnames::ComDevicePath(n);
    if (path.isEmpty())
        return fail(fileName, ENODEV);
    const QString comName = QStringLiteral("COM%1").arg(n);
    if (remoteport::LooksLikeUrl(path))
        return OpenRemote(path, comName);
    // Checked before the open: opening a device may act on it (/dev/ptmx
    // makes a new pseudo-terminal, a serial port raises DTR).
    if (!comnames::IsSerialTerminal(path))
        return fail(path, ENOTTY);
    const int fd = serialdevice::OpenExclusive(path.constData());
    if (fd < 0)
        return fail(path, errno);
    porthandles::OpenPort port;
    port.fd = fd;
    port.comName = comName;
    port.pseudoTerminal = serialdevice::IsPseudoTerminal(fd);
    port.lossSeen = serialdevice::ReadLossCounts(fd);
    const HANDLE handle = porthandles::Add(std::move(port));
    if (handle == INVALID_HANDLE_VALUE) {
        serialdevice::CloseExclusive(fd);
        return fail(path, EMFILE);
    }
    return handle;
}

BOOL ReadFile(HANDLE file, void* buffer, DWORD bytesToRead, DWORD* bytesRead, OVERLAPPED*)
{
    if (bytesRead)
        *bytesRead = 0;
    const auto* port = porthandles::Find(file);
    if (!port || (!buffer && bytesToRead > 0))
        return 0;
    if (bytesToRead == 0)
        return 1;
    auto* bytes = static_cast<char*>(buffer);
    const COMMTIMEOUTS& t = port->timeouts;
    const bool atOnce = t.ReadIntervalTimeout == MAXDWORD && t.ReadTotalTimeoutMultiplier == 0
        && t.ReadTotalTimeoutConstant == 0;
    const auto read = [&](auto& device) {
        auto got = device.ReadAvailable(bytes, bytesToRead);
        if (got && !atOnce)
            got = ReadWithTimeouts(device, bytes, bytesToRead, t, *got);
        return got;
    };
    LocalDevice local{port->fd};
    const auto got = port->remote ? read(*port->remote) : read(local);
    if (!got)
        return 0;
    if (bytesRead)
        *bytesRead = DWORD(*got);
    return 1;
}

BOOL WriteFile(HANDLE file, const void* buffer, DWORD bytesToWrite, DWORD* bytesWritten, OVERLAPPED*)
{
    if (bytesWritten)
        *bytesWritten = 0;
    const auto* port = porthandles::Find(file);
    if (!port || (!buffer && bytesToWrite > 0))
        return 0;
    const COMMTIMEOUTS& t = port->timeouts;
    const auto totalMs
        = TotalTimeout(t.WriteTotalTimeoutMultiplier, t.WriteTotalTimeoutConstant, bytesToWrite);
    size_t written = 0;
    const auto stallMs = totalMs ? std::nullopt : std::optional(WriteStallMs);
    const auto result = port->remote
        ? port->remote->WriteAll(buffer, bytesToWrite, stallMs, totalMs, written)
        : serialdevice::WriteAll(port->fd, buffer, bytesToWrite, stallMs, totalMs, written);
    if (bytesWritten)
        *bytesWritten = DWORD(written);
    return result == serialdevice::WriteResult::Done;
}

BOOL CloseHandle(HANDLE object)
{
    const auto port = porthandles::Take(object);
    if (!port) {
        testhook::RecordStrayClose();
        return 0;
    }
    testhook::RecordLineEvent(port->comName, testhook::LineEvent::Closed, false);
    // A remote port's connection ends with its entry.
    if (!port->remote)
        serialdevice::CloseExclusive(port->fd);
    return 1;
}

}
