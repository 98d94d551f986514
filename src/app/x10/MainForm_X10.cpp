#include "app/MsgBox.h"
#include "app/MainForm.h"
#include "app/monitor/ReceiveView.h"
#include "port/ModZemoPorts.h"
#include "profiles/DeviceProfiles.h"
#include "x10/ChecksumExchange.h"


using namespace modZEMO;

namespace {

// The primary port as the exchange sees it. Waiting reads use the comm
// timeouts that make a read return as soon as a byte arrives, or after the
// wait; the non-waiting timeouts are restored afterwards.
class PrimaryPort : public x10::ExchangePort {
public:
    PrimaryPort() { win32::GetCommTimeouts(hCom, &saved_); }
    ~PrimaryPort() override { win32::SetCommTimeouts(hCom, &saved_); }
    PrimaryPort(const PrimaryPort&) = delete;
    PrimaryPort& operator=(const PrimaryPort&) = delete;

    void Write(const QByteArray& bytes) override { WritePort(hCom, bytes); }

    std::optional<QByteArray> Read(std::chrono::milliseconds wait) override
    {
        win32::COMMTIMEOUTS timeouts = saved_;
        timeouts.ReadIntervalTimeout = win32::MAXDWORD;
        timeouts.ReadTotalTimeoutMultiplier = wait.count() > 0 ? win32::MAXDWORD : 0;
        timeouts.ReadTotalTimeoutConstant = static_cast<win32::DWORD>(wait.count());
        win32::SetCommTimeouts(hCom, &timeouts);
        return TryReadPort(hCom);
    }

private:
    win32::COMMTIMEOUTS saved_{};
};

}

void MainForm::ConnectCM12()
{
    ConnectFixed(*profiles::FixedProfileOf(CM12X10));
}

void MainForm::X10ChecksumExchange(const QByteArray& payload)
{
    PrimaryPort port;
    if (x10::RunChecksumExchange(port, payload) == x10::ExchangeResult::NoAnswer)
        MsgBox(tr("X10 communication error"), MsgCritical);
}

void MainForm::ResetX10Interface()
{
    static const QByteArray resetRecord("\x9B\x00\x00\x00\x00\x00\x07", 7);
    if (WritePort(hCom, resetRecord))
        RXOut->AppendLocalText(QByteArrayLiteral("\r\nCM11/12 interface reset OK."));
}
