#include "app/MsgBox.h"
#include "app/MainForm.h"
#include "port/ModZemoPorts.h"
#include "port/OpenFailure.h"
#include "profiles/ConnectSteps.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTimer>

using namespace modZEMO;

void MainForm::ConnectGeneric()
{
    PortName = ComPortListBox->currentText();
    if (!ConnectSteps::OpenConfigured([this](win32::DCB& dcb) { WriteListSettings(dcb); },
                                      ConnectSteps::AfterSet::RaiseLines)) {
        MsgBox(tr("Error initializing COM port."), MsgCritical, AppTitle, openfailure::Last());
        ConnectSteps::CloseOpened(hCom);
        return;
    }

    TickLineBoxes(LineOrder::DtrFirst, LineBoxes::Enabled);
    ShowConnected(SettingsLock::AllSettings);
    if (SendData->isEnabled())
        SendData->setFocus();
    SendData->setEnabled(true);
    Timer1->start();
}
