#include "app/MainForm.h"
#include "port/ModZemoPorts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

void MainForm::ResetButton()
{
    Timer1->stop();
    EndBreak();
    PortBreakMenu->setEnabled(false);
    FileForgetMenu->setEnabled(true);
    for (QLabel* indicator : {DCDv, CTSv, DSRv, RIv})
        indicator->clear();
    shownModemStatus_.reset();
    // Clearing the boxes drops DTR and RTS while the port is still open.
    SetValue(DTRv, 0);
    DTRv->setEnabled(false);
    SetValue(RTSv, 0);
    RTSv->setEnabled(false);
    CloseOpenPorts();
    ComPortListBox->setEnabled(true);
    COMInitButton->setText(tr("Init."));
    COMInitButton->setEnabled(true);
    if (SelectedInterface == Generic) {
        for (QWidget* list : {SpeedListBox, BitsListBox, ParityListBox, StopListBox, HandshakeListBox})
            list->setEnabled(true);
    }
    ITypeListBox->setEnabled(true);
    CRCheckbox->setEnabled(true);
    LFCheckbox->setEnabled(true);
    SendButton->setEnabled(false);
    PortIsOpen = false;
}
