#include "app/MsgBox.h"
#include "app/frmMain.h"
#include "port/ModZemoPorts.h"
#include "profiles/ConnectSteps.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTimer>

using namespace modZEMO;

void frmMain::ConnectGeneric()
{
    PortName = ComPortListBox->currentText();
    hCom = OpenPort(PortName);
    const bool configured = [this] {
        if (hCom == win32::INVALID_HANDLE_VALUE || !win32::GetCommState(hCom, &CommDCB))
            return false;
        WriteListSettings(CommDCB);
        if (!win32::SetCommState(hCom, &CommDCB))
            return false;
        ConnectSteps::RaiseLines(hCom);
        return ConnectSteps::SetNonWaitingTimeouts(hCom, CommTimeouts);
    }();
    if (!configured) {
        MsgBox(tr("Error initializing COM port."), MsgCritical);
        ConnectSteps::CloseOpened(hCom);
        return;
    }

    TickLineBoxes(false, true);
    ShowConnected(true);
    if (SendData->isEnabled())
        SendData->setFocus();
    SendData->setEnabled(true);
    Timer1->start();
}
