#include "port/ModZemoPorts.h"

#include "port/PortFailures.h"
#include "port/PortHandles.h"

#include <algorithm>

namespace modZEMO {

win32::HANDLE hCom = 0;
win32::HANDLE hCom2 = 0;
QString PortName;
QString SecondPortName;
win32::DCB CommDCB{};
win32::COMMTIMEOUTS CommTimeouts{};

win32::HANDLE OpenPort(const QString& name)
{
    win32::SECURITY_ATTRIBUTES security{};
    return win32::CreateFileA(name.toLatin1().constData(), win32::GENERIC_READ | win32::GENERIC_WRITE,
                              0, &security, win32::OPEN_EXISTING, 0, 0);
}

bool WritePort(win32::HANDLE handle, const QByteArray& data)
{
    for (qsizetype offset = 0; offset < data.size(); offset += PortChunk) {
        const auto count = std::min<qsizetype>(PortChunk, data.size() - offset);
        win32::DWORD written = 0;
        win32::OVERLAPPED overlapped{};
        if (!win32::WriteFile(handle, data.constData() + offset, win32::DWORD(count), &written,
                              &overlapped)) {
            ReportFailure(QStringLiteral("Error sending data to the COM port"));
            return false;
        }
    }
    return true;
}

QByteArray ReadPort(win32::HANDLE handle)
{
    return TryReadPort(handle).value_or(QByteArray());
}

std::optional<QByteArray> TryReadPort(win32::HANDLE handle, int most)
{
    QByteArray buffer(most, Qt::Uninitialized);
    win32::DWORD count = 0;
    win32::OVERLAPPED overlapped{};
    if (!win32::ReadFile(handle, buffer.data(), win32::DWORD(most), &count, &overlapped))
        return std::nullopt;
    buffer.truncate(qsizetype(count));
    return buffer;
}

bool PortExists(int16_t n)
{
    win32::COMMCONFIG config{};
    win32::DWORD size = sizeof(config);
    return win32::GetDefaultCommConfigA(QStringLiteral("COM%1").arg(n).toLatin1().constData(),
                                        &config, &size)
        != 0;
}

bool PortIsOpen(win32::HANDLE handle)
{
    return win32::porthandles::Find(handle) != nullptr;
}

}
