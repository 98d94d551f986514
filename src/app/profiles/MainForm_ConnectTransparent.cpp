#include "app/MsgBox.h"
#include "app/MainForm.h"
#include "port/ModZemoPorts.h"
#include "port/OpenFailure.h"
#include "profiles/ConnectSteps.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

using namespace modZEMO;

void MainForm::ConnectTransparent()
{
    COMInitButton->setEnabled(false);
    PortName = ComPortListBox->currentText();
    SecondPortName = AltComListBox->currentText();
    if (SecondPortName.trimmed().isEmpty()) {
        MsgBox(tr("Please select second port before init!"), MsgNone, QStringLiteral("ZEMO"));
        AltComListBox->setFocus();
        COMInitButton->setEnabled(true);
        return;
    }

    // Which of the two this attempt opened, so that a failure closes exactly those.
    bool firstOpened = false;
    bool secondOpened = false;
    const bool configured = [&] {
        hCom = OpenPort(PortName);
        firstOpened = hCom != win32::INVALID_HANDLE_VALUE;
        if (!firstOpened)
            return false;
        hCom2 = OpenPort(SecondPortName);
        secondOpened = hCom2 != win32::INVALID_HANDLE_VALUE;
        if (!secondOpened)
            return false;
        // One record serves both ports; the second read replaces the first.
        if (!win32::GetCommState(hCom, &CommDCB) || !win32::GetCommState(hCom2, &CommDCB))
            return false;
        WriteListSettings(CommDCB);
        if (!win32::SetCommState(hCom, &CommDCB) || !win32::SetCommState(hCom2, &CommDCB))
            return false;
        ConnectSteps::RaiseLines(hCom);
        ConnectSteps::RaiseLines(hCom2);
        return ConnectSteps::ReadNonWaitingTimeouts(hCom2, CommTimeouts) && win32::SetCommTimeouts(hCom, &CommTimeouts)
            && win32::SetCommTimeouts(hCom2, &CommTimeouts);
    }();
    if (!configured) {
        MsgBox(tr("Error initializing COM port."), MsgCritical, AppTitle, openfailure::Last());
        if (firstOpened)
            win32::CloseHandle(hCom);
        if (secondOpened)
            win32::CloseHandle(hCom2);
        COMInitButton->setEnabled(true);
        return;
    }

    TickLineBoxes(LineOrder::DtrFirst, LineBoxes::Disabled);
    ShowConnected(SettingsLock::AllSettings);
    if (SendData->isEnabled())
        SendData->setFocus();
    TwoPortMode = true;
    Out1Label->setText(PortName);
    Out2Label->setText(SecondPortName);
    COMInitButton->setEnabled(true);
    Timer1->start();
    SendData->setEnabled(false);
}
