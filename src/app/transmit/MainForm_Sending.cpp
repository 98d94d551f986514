#include "app/MainForm.h"
#include "app/frmMain.h"
#include "app/transmit/SendingState.h"
#include "port/ModZemoPorts.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>

SendingState::SendingState(QObject* parent)
    : QObject(parent)
{
    clock.start();
}

modZEMO::LineBacklog PrimaryLineBacklog()
{
    win32::DCB dcb{};
    win32::GetCommState(modZEMO::hCom, &dcb);
    return {dcb.BaudRate, modZEMO::FrameBits(dcb.ByteSize ? dcb.ByteSize : 8, dcb.Parity != 0, dcb.StopBits)};
}

bool PrimaryHeldOff(qsizetype ahead, win32::DWORD& errors)
{
    // The driver not sending what it has (XOFF, a device that stops taking
    // bytes) shows as a queue that does not drain.
    win32::DCB dcb{};
    win32::DWORD lines = 0;
    win32::COMSTAT held{};
    return (win32::GetCommState(modZEMO::hCom, &dcb) && (dcb.flags & win32::fOutxCtsFlow)
            && win32::GetCommModemStatus(modZEMO::hCom, &lines) && !(lines & win32::MS_CTS_ON))
        || (win32::ClearCommError(modZEMO::hCom, &errors, &held) && held.cbOutQue > ahead);
}

void MainForm::WireSending()
{
    sending_ = new SendingState(this);
    sending_->repeatTimer = new QTimer(this);
    sending_->repeatTimer->setSingleShot(true);
    sending_->repeatTimer->setTimerType(Qt::PreciseTimer);
    connect(sending_->repeatTimer, &QTimer::timeout, this, &MainForm::RepeatStep);

    connect(FileSendMenu, &QAction::triggered, this, &MainForm::FileSendMenu_Click);
    connect(PortRepeatMenu, &QAction::triggered, this, &MainForm::PortRepeatMenu_Click);
    connect(PortMacrosMenu, &QAction::triggered, this, &MainForm::PortMacrosMenu_Click);
    connect(PortAnswersMenu, &QAction::triggered, this, &MainForm::PortAnswersMenu_Click);
    // After the connect or disconnect of the same click.
    connect(COMInitButton, &QPushButton::clicked, this, &MainForm::RefreshSendingMenus);
    connect(COMInitButton, &QPushButton::clicked, this, &MainForm::StartAnswers);
    for (QMenu* menu : window_.menuBar()->findChildren<QMenu*>())
        connect(menu, &QMenu::aboutToShow, this, &MainForm::RefreshSendingMenus);
    connect(ClearButton, &QPushButton::clicked, this, [this] { sending_->answeredUpTo = RX.Bytes().Size(); });
    // After the tick has read the port: a file goes on, what came is answered.
    connect(Timer1, &QTimer::timeout, this, &MainForm::FileSendStep);
    connect(Timer1, &QTimer::timeout, this, &MainForm::AnswerReceived);

    auto* viewMenu = window_.menuBar()->findChild<QMenu*>(QStringLiteral("ViewMenu"));
    ViewMacroBar = viewMenu->addAction(tr("Macro Bar"));
    ViewMacroBar->setObjectName(QStringLiteral("ViewMacroBar"));
    ViewMacroBar->setCheckable(true);
    connect(ViewMacroBar, &QAction::toggled, this, &MainForm::FitToClientArea);
    CreateMacroBar();
    CreateFileBar();
    RefreshSendingMenus();
}

bool MainForm::CanSendNow() const
{
    return PortIsOpen && !DeviceGone[0] && modZEMO::PortIsOpen(modZEMO::hCom);
}

void MainForm::RefreshSendingMenus()
{
    if (!CanSendNow() && sending_->repeatTimer->isActive())
        StopRepeat();
    if (!CanSendNow() && sending_->file)
        StopFileSend();
    FileSendMenu->setEnabled(CanSendNow() && !sending_->file);
    PortRepeatMenu->setEnabled(sending_->repeatTimer->isActive() || (CanSendNow() && SendButton->isEnabled()));
}
