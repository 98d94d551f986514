#include "app/MainForm.h"

#include "convert/Conversions.h"
#include "app/MsgBox.h"
#include "monitor/ReceivePoll.h"
#include "app/monitor/ReceiveView.h"
#include "monitor/TickCounter.h"
#include "port/ModZemoPorts.h"

#include <QComboBox>
#include <QLabel>
#include <QTimer>

#include <algorithm>
#include <utility>

void MainForm::Timer1_Timer()
{
    Timer1->stop();
    RefreshModemStatus();
    const monitor::Polled polled
        = monitor::PollPorts(modZEMO::hCom, modZEMO::hCom2, TwoPortMode, DeviceGone[0], DeviceGone[1]);
    LogReceived(polled.first, polled.second);
    // Every line begun in this tick carries the same stamp.
    const modZEMO::StampMoment moment = modZEMO::ReadStampMoment();
    const LineRules rules = ReceiveLineRules();
    const auto show = [&](ReceivedTexts& texts, ReceiveView* box, const QByteArray& data, Timeline::Source source) {
        texts.Append(data, rules, moment);
        Conversation.Received(source, data.size(), moment);
        const NotationText* text = texts.Text(OutCombo->currentIndex());
        if (text && !(box == RXOut && timelineShown_))
            box->ShowGrown(text);
    };
    // Within one tick the first port's bytes come first.
    if (!polled.first.isEmpty())
        show(RX, RXOut, polled.first, Timeline::FirstPort);
    if (!polled.second.isEmpty())
        show(RX2, RX2Out, polled.second, Timeline::SecondPort);
    GrowTimeline();
    LogTimeline();
    CheckInputLost(0, modZEMO::hCom, modZEMO::PortName);
    if (TwoPortMode)
        CheckInputLost(1, modZEMO::hCom2, modZEMO::SecondPortName);
    if (polled.firstGone)
        ReportDeviceGone(0, modZEMO::PortName);
    if (polled.secondGone)
        ReportDeviceGone(1, modZEMO::SecondPortName);
    for (ReceiveView* box : {RXOut, RX2Out})
        box->TickEnded();
    // With no port open there is nothing to poll: the program sleeps until
    // the next connect starts the timer again.
    if (modZEMO::PortIsOpen(modZEMO::hCom) || (TwoPortMode && modZEMO::PortIsOpen(modZEMO::hCom2)))
        Timer1->start();
}

void MainForm::ReportDeviceGone(int port, const QString& portName)
{
    // Once per loss: the poll goes on failing until Disc., silently.
    if (DeviceGone[port])
        return;
    DeviceGone[port] = true;
    RefreshModemStatus();
    NoteDevice(port, false);
    if (WaitForDevice(port))
        return;
    modZEMO::MsgBox(tr("The device on %1 is not responding.").arg(portName), modZEMO::MsgCritical, modZEMO::AppTitle,
                    tr("It was unplugged or has hung up. Press Disc., and Init once it is back."));
}

void MainForm::CheckInputLost(int port, win32::HANDLE handle, const QString& portName)
{
    win32::DWORD errors = 0;
    const bool read = win32::ClearCommError(handle, &errors, nullptr);
    if (port == 0)
        errors |= std::exchange(errorsRead_, 0);
    if (InputLost[port] || DeviceGone[port] || !read || !(errors & (win32::CE_RXOVER | win32::CE_OVERRUN)))
        return;
    InputLost[port] = true;
    // Shown once this tick is over, so that the poll goes on reading behind the box.
    QTimer::singleShot(0, this, [portName] {
        modZEMO::MsgBox(tr("The driver of %1 has lost received bytes.").arg(portName), modZEMO::MsgCritical,
                        modZEMO::AppTitle,
                        tr("The line delivered more than was read in time. Choose a lower speed, or a handshake."));
    });
}

void MainForm::RefreshModemStatus()
{
    // A device that has gone has no lines on.
    win32::DWORD status = 0;
    if (!DeviceGone[0])
        win32::GetCommModemStatus(modZEMO::hCom, &status);
    // The four lines are bits of the low byte.
    const int32_t lines = int32_t(status & 0xFF);
    NoteModemLines(lines);
    // The captions are written only when the status changes, so a steady
    // line costs a tick neither texts nor a repaint.
    if (std::exchange(shownModemStatus_, status) == status)
        return;
    const auto show = [](QLabel* label, const QString& text) {
        if (label->text() != text)
            label->setText(text);
    };
    show(Label8, QStringLiteral(" ") + QString::number(status));
    show(CTSv, modZEMO::GetBitChar(lines, 4));
    show(DSRv, modZEMO::GetBitChar(lines, 5));
    show(RIv, modZEMO::GetBitChar(lines, 6));
    show(DCDv, modZEMO::GetBitChar(lines, 7));
}

void MainForm::OutCombo_Click()
{
    static const char* const captions[] = {"Binary", "Hex", "Char"};
    const int format = OutCombo->currentIndex();
    if (format < ReceivedTexts::Bin || format > ReceivedTexts::Chr)
        return;
    OutLabel->setText(QString::fromLatin1(captions[format]));
    ShowTexts();
}

void MainForm::RXBitsNrListBox_Click()
{
    const int n = std::max(0, RXBitsNrListBox->currentIndex());
    RX.Reflow(n);
    RX2.Reflow(n);
    OutCombo_Click();
}

void MainForm::ClearButton_Click()
{
    RXOut->Show(nullptr);
    RX.Clear();
    RX2Out->Show(nullptr);
    RX2.Clear();
    LogTimeline();
    Conversation.Clear();
    TextLog.StartAt(0);
    ConversationText.Lay(ConversationText.Rules());
}
