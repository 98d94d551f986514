#include "app/MsgBox.h"
#include "app/frmMain.h"
#include "monitor/ReceiveView.h"
#include "port/ModZemoPorts.h"
#include "profiles/ConnectSteps.h"
#include "x10/ChecksumExchange.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTimer>

using namespace modZEMO;

namespace {

constexpr char PowerFailPoll = char(0xA5);
constexpr char PollAnswer = char(0xFB);

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

void frmMain::ConnectCM12()
{
    SelectFixedSettings(5);
    PortName = ComPortListBox->currentText();
    if (ConnectSteps::OpenFixed({4800, 8, win32::NOPARITY, win32::ONESTOPBIT}, ConnectSteps::BinaryOnly)) {
        ConnectSteps::RaiseLines(hCom);
        TickLineBoxes(true, true);
        // The interface polls with 0xA5 after a power failure; one answer
        // stops it. Whatever this read takes is not shown.
        win32::Sleep(100);
        if (ReadPort(hCom).startsWith(PowerFailPoll))
            WritePort(hCom, QByteArray(1, PollAnswer));
        ShowConnected(false);
        SelectItem(TXDataTypeListBox, 0);
        SelectItem(RXBitsNrListBox, 1);
        SelectItem(OutCombo, 1);
        SendData->setEnabled(true);
    }
    Timer1->start();
}

void frmMain::X10ChecksumExchange(const QByteArray& payload)
{
    PrimaryPort port;
    if (x10::RunChecksumExchange(port, payload) == x10::ExchangeResult::NoAnswer)
        MsgBox(tr("X10 communication error"), MsgCritical);
}

void frmMain::ResetX10Interface()
{
    static const QByteArray resetRecord("\x9B\x00\x00\x00\x00\x00\x07", 7);
    if (WritePort(hCom, resetRecord))
        RXOut->AppendLocalText(QByteArrayLiteral("\r\nCM11/12 interface reset OK."));
}
