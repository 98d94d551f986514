#include "app/MainForm.h"
#include "port/ModZemoPorts.h"
#include "profiles/ConnectSteps.h"
#include "profiles/StartupSteps.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTimer>

void MainForm::ConnectIRMan()
{
    // The receiver is powered from RTS and DTR: dropped with the settings,
    // raised again, and given time before its start-up sequence.
    ConnectFixed(*profiles::FixedProfileOf(IRMan));
}

void MainForm::ConnectCreativeInfra()
{
    ConnectFixed(*profiles::FixedProfileOf(CreativeInfra));
}

void MainForm::ConnectGSMData()
{
    ConnectFixed(*profiles::FixedProfileOf(GSMData));
}

void MainForm::ConnectFixed(const profiles::FixedProfile& profile)
{
    using modZEMO::hCom;
    SelectFixedSettings(profile.speed);
    modZEMO::PortName = ComPortListBox->currentText();
    const bool opened = ConnectSteps::OpenFixed(profile);
    if (opened) {
        if (profile.raiseBeforeTicking) {
            ConnectSteps::RaiseLines(hCom);
            TickLineBoxes(LineOrder::RtsFirst, LineBoxes::Enabled);
        } else {
            TickLineBoxes(LineOrder::RtsFirst, LineBoxes::Enabled);
            ConnectSteps::RaiseLines(hCom);
        }
        profiles::RunStartupStep(profile.startup, hCom);
        ShowConnected(SettingsLock::PortOnly);
        if (const auto& display = profile.display) {
            SelectItem(TXDataTypeListBox, display->transmitType);
            SelectItem(RXBitsNrListBox, display->bytesPerLine);
            SelectItem(OutCombo, display->notation);
            if (display->crAndLf) {
                SetValue(CRCheckbox, 1);
                SetValue(LFCheckbox, 1);
            }
            SendData->setEnabled(true);
        }
    }
    if (opened || profile.pollsAfterFailedConnect)
        Timer1->start();
}
