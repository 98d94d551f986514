#include "app/MainForm.h"
#include "app/monitor/ReceiveView.h"
#include "monitor/TickCounter.h"
#include "port/ModZemoPorts.h"
#include "profiles/ConnectSteps.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QTimer>

namespace {

// A port whose device has not come back is tried again this often, also
// when nothing tells of its return (a remote port, a device that was busy).
constexpr int RetryMs = 2000;

}

bool MainForm::WaitForDevice(int port)
{
    if (!PortReconnectMenu->isChecked())
        return false;
    win32::HANDLE& handle = port == 0 ? modZEMO::hCom : modZEMO::hCom2;
    // Closed now, so that the device's name is free for it when it returns.
    win32::CloseHandle(handle);
    waiting_[port] = true;
    if (!timelineShown_)
        ShowPortMark(port, tr("--- %1 gone, waiting for it ---").arg(port == 0 ? modZEMO::PortName : modZEMO::SecondPortName));
    if (!retryTimer_->isActive())
        retryTimer_->start(RetryMs);
    return true;
}

void MainForm::ReopenReturnedPorts()
{
    // Not under a message box shown from inside a tick: the poll would start
    // again in the middle of it. The next try comes after the box.
    if (QApplication::activeModalWidget())
        return;
    for (int port = 0; port < 2; ++port) {
        if (!waiting_[port])
            continue;
        const QString& name = port == 0 ? modZEMO::PortName : modZEMO::SecondPortName;
        const win32::HANDLE handle = modZEMO::OpenPort(name);
        if (handle == win32::INVALID_HANDLE_VALUE)
            continue;
        // The settings of the connect, and the control lines as the window shows them.
        win32::DCB settings = modZEMO::CommDCB;
        win32::COMMTIMEOUTS timeouts = modZEMO::CommTimeouts;
        if (!win32::SetCommState(handle, &settings) || !win32::SetCommTimeouts(handle, &timeouts)) {
            win32::CloseHandle(handle);
            continue;
        }
        (port == 0 ? modZEMO::hCom : modZEMO::hCom2) = handle;
        if (port == 0) {
            DTRv_Click();
            RTSv_Click();
        } else {
            ConnectSteps::RaiseLines(handle);
        }
        waiting_[port] = false;
        DeviceGone[port] = false;
        NoteDevice(port, true);
        if (!timelineShown_)
            ShowPortMark(port, tr("--- %1 is back ---").arg(name));
        if (!Timer1->isActive())
            Timer1->start();
    }
    if (!waiting_[0] && !waiting_[1])
        retryTimer_->stop();
}

void MainForm::CloseOpenPorts()
{
    // A port waiting for its device was closed when the device went.
    if (!waiting_[0])
        win32::CloseHandle(modZEMO::hCom);
    if (TwoPortMode && !waiting_[1])
        win32::CloseHandle(modZEMO::hCom2);
    waiting_[0] = waiting_[1] = false;
    retryTimer_->stop();
}

void MainForm::NoteDevice(int port, bool back)
{
    Conversation.LineChanged(port == 0 ? Timeline::Line::FirstDevice : Timeline::Line::SecondDevice, back,
                             modZEMO::ReadStampMoment());
    GrowTimeline();
    LogTimeline();
}

void MainForm::ShowPortMark(int port, const QString& mark)
{
    (port == 0 ? RXOut : RX2Out)->AppendLocalText("\r\n" + mark.toLatin1() + "\r\n");
}
