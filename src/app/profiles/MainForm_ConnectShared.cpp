#include "app/MainForm.h"
#include "profiles/ConnectSteps.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>

void MainForm::SelectFixedSettings(lists::Speed speed)
{
    SelectItem(SpeedListBox, speed);
    SelectItem(BitsListBox, lists::EightBits);
    SelectItem(ParityListBox, lists::NoParity);
    SelectItem(StopListBox, lists::OneStopBit);
    SelectItem(HandshakeListBox, lists::NoHandshake);
}

void MainForm::WriteListSettings(win32::DCB& dcb) const
{
    // A list without a usable entry leaves its field as the port reported it.
    bool ok = false;
    if (const auto baud = lists::TypedSpeed(SpeedListBox->currentText()))
        dcb.BaudRate = *baud;
    if (const auto bits = BitsListBox->currentText().toUInt(&ok); ok)
        dcb.ByteSize = static_cast<win32::BYTE>(bits);
    if (ParityListBox->currentIndex() >= 0)
        dcb.Parity = static_cast<win32::BYTE>(ParityListBox->currentIndex());
    if (StopListBox->currentIndex() >= 0)
        dcb.StopBits = static_cast<win32::BYTE>(StopListBox->currentIndex());
    if (HandshakeListBox->currentIndex() >= 0)
        dcb.flags = ConnectSteps::HandshakeFlags(HandshakeListBox->currentIndex());
}

void MainForm::TickLineBoxes(LineOrder order, LineBoxes boxes)
{
    const bool rtsFirst = order == LineOrder::RtsFirst;
    for (QCheckBox* box : {rtsFirst ? RTSv : DTRv, rtsFirst ? DTRv : RTSv}) {
        SetValue(box, 1);
        box->setEnabled(boxes == LineBoxes::Enabled);
    }
}

void MainForm::ShowConnected(SettingsLock lock)
{
    if (lock == SettingsLock::AllSettings) {
        COMInitButton->setText(tr("Disc."));
        for (QWidget* list : {ComPortListBox, SpeedListBox, BitsListBox, ParityListBox, StopListBox, HandshakeListBox})
            list->setEnabled(false);
    } else {
        ComPortListBox->setEnabled(false);
        COMInitButton->setText(tr("Disc."));
    }
    ITypeListBox->setEnabled(false);
    PortIsOpen = true;
    SendButton->setEnabled(true);
    PortBreakMenu->setEnabled(true);
    FileForgetMenu->setEnabled(false);
}
