#include "app/MainForm.h"
#include "app/MsgBox.h"
#include "monitor/TickCounter.h"
#include "port/ModZemoPorts.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>

void MainForm::COMInitButton_Click()
{
    ITypeListBox_Click();
    if (PortIsOpen) {
        ResetButton();
        ITypeListBox_Click();
        SendData->setEnabled(false);
        ClearButton_Click();
        SetBoxesSideBySide(false);
        SendButton->setEnabled(false);
        Out1Label->clear();
        Out2Label->clear();
        Out1Label->hide();
        Out2Label->hide();
        AltComListBox->setEnabled(TwoPortMode);
        if (portsChanged_)
            RefreshPortLists();
        return;
    }

    // A typed speed that names no rate opens nothing.
    if ((SelectedInterface == Generic || SelectedInterface == Transparent)
        && !lists::TypedSpeed(SpeedListBox->currentText())) {
        modZEMO::MsgBox(tr("The speed must be a whole number from %1 to %2 bit/s.")
                            .arg(lists::SlowestTypedSpeed)
                            .arg(lists::FastestTypedSpeed),
                        modZEMO::MsgCritical);
        return;
    }
    TwoPortMode = false;
    DeviceGone[0] = DeviceGone[1] = false;
    InputLost[0] = InputLost[1] = false;
    switch (ITypeListBox->currentIndex()) {
    case Generic: ConnectGeneric(); break;
    case IRMan: ConnectIRMan(); break;
    case CreativeInfra: ConnectCreativeInfra(); break;
    case CM12X10: ConnectCM12(); break;
    case GSMData: ConnectGSMData(); break;
    case Transparent: ConnectTransparent(); break;
    default:
        Timer1->stop();
        return;
    }
    if (!PortIsOpen)
        return;

    AltComListBox->setEnabled(false);
    if (TwoPortMode) {
        SetBoxesSideBySide(true);
        SendButton->setEnabled(false);
    } else {
        if (SendData->isEnabled())
            SendData->setFocus();
        SetBoxesSideBySide(false);
        SendButton->setEnabled(true);
    }
    modZEMO::SetMsCount(0);
}

void MainForm::ITypeListBox_Click()
{
    SelectedInterface = static_cast<int16_t>(ITypeListBox->currentIndex());
    QWidget* const settings[] = {SpeedListBox, BitsListBox, ParityListBox, StopListBox, HandshakeListBox};
    switch (SelectedInterface) {
    case Generic:
    case Transparent: {
        for (QWidget* list : settings)
            list->setEnabled(true);
        const bool two = SelectedInterface == Transparent;
        AltComListBox->setEnabled(two);
        Com2Label->setEnabled(two);
        if (two)
            SelectItem(SpeedListBox, lists::Speed115200);
        Out1Label->setVisible(two);
        Out2Label->setVisible(two);
        break;
    }
    case IRMan:
    case CreativeInfra:
    case CM12X10:
    case GSMData:
        AltComListBox->setEnabled(false);
        for (QWidget* list : settings)
            list->setEnabled(false);
        break;
    default:
        break;
    }
}

void MainForm::ComPortListBox_Click()
{
    modZEMO::PortName = ComPortListBox->currentText();
    FillAltComList();
}

void MainForm::FillAltComList()
{
    const QSignalBlocker quiet(AltComListBox);
    AltComListBox->clear();
    for (int i = 0; i < ComPortListBox->count(); ++i) {
        const QString name = ComPortListBox->itemText(i);
        if (name == modZEMO::PortName)
            continue;
        AltComListBox->addItem(name);
        AltComListBox->setItemData(AltComListBox->count() - 1, ComPortListBox->itemData(i, Qt::ToolTipRole),
                                   Qt::ToolTipRole);
    }
    AltComListBox->setCurrentIndex(-1);
}
