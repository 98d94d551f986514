#include "app/Version.h"
#include "app/MainForm.h"
#include "app/frmMain.h"
#include "port/ComNames.h"
#include "port/ModZemoPorts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>

#include <algorithm>

namespace {

constexpr int HighestPort = 30;

// Fills a list without running its handler; the caller selects the default.
void Fill(QComboBox* list, const QStringList& items)
{
    const QSignalBlocker quiet(list);
    list->clear();
    list->addItems(items);
}

struct PortEntry {
    QString name;
    QString device; // the tooltip
    bool operator==(const PortEntry&) const = default;
};

// COM1 to COM30 as far as they exist; the probe never opens a device.
QList<PortEntry> ExistingPorts()
{
    QList<PortEntry> ports;
    for (int16_t n = 1; n <= HighestPort; ++n)
        if (modZEMO::PortExists(n))
            ports.append({QStringLiteral("COM%1").arg(n), QFile::decodeName(comnames::ComDevicePath(n))});
    return ports;
}

QList<PortEntry> Listed(const QComboBox* list)
{
    QList<PortEntry> ports;
    for (int i = 0; i < list->count(); ++i)
        ports.append({list->itemText(i), list->itemData(i, Qt::ToolTipRole).toString()});
    return ports;
}

void FillPorts(QComboBox* list, const QList<PortEntry>& ports)
{
    const QSignalBlocker quiet(list);
    list->clear();
    for (const PortEntry& port : ports) {
        list->addItem(port.name);
        list->setItemData(list->count() - 1, port.device, Qt::ToolTipRole);
    }
}

}

void MainForm::Form_Load()
{
    Timer1->stop();
    SendData->setEnabled(false);
    TwoPortMode = false;
    ShowLogState();
    PortIsOpen = false;

    SelectedInterface = Generic;
    SendButton->setEnabled(false);
    DTRv->setEnabled(false);
    RTSv->setEnabled(false);

    FillPorts(ComPortListBox, ExistingPorts());
    SelectItem(ComPortListBox, 0);
    modZEMO::PortName = ComPortListBox->itemText(0);
    FillAltComList();
    SelectItem(AltComListBox, 0);

    Fill(ITypeListBox, lists::InterfaceEntries());
    SelectItem(ITypeListBox, Generic);
    Fill(SpeedListBox, lists::SpeedEntries());
    SelectItem(SpeedListBox, lists::Speed9600);
    Fill(HandshakeListBox, lists::HandshakeEntries());
    SelectItem(HandshakeListBox, lists::NoHandshake);
    Fill(BitsListBox, lists::BitsEntries());
    SelectItem(BitsListBox, lists::EightBits);
    Fill(ParityListBox, lists::ParityEntries());
    SelectItem(ParityListBox, lists::NoParity);
    Fill(StopListBox, lists::StopEntries());
    SelectItem(StopListBox, lists::OneStopBit);
    Fill(TXDataTypeListBox, lists::TransmitTypeEntries());
    SelectItem(TXDataTypeListBox, lists::TxChar);
    TXDataTypeListBox_Click();
    Fill(RXBitsNrListBox, lists::BytesPerLineEntries());
    SelectItem(RXBitsNrListBox, 0);
    Fill(OutCombo, lists::NotationEntries());
    SelectItem(OutCombo, lists::Chr);
}

void MainForm::RefreshPortLists()
{
    // An open port's lists stay as they are until Disc.
    if (PortIsOpen) {
        portsChanged_ = true;
        return;
    }
    portsChanged_ = false;
    const QList<PortEntry> ports = ExistingPorts();
    if (ports == Listed(ComPortListBox))
        return;
    // Each list keeps its choice while that port is there; a choice that
    // went falls back to the first port, as at start-up.
    const QString primary = ComPortListBox->currentText();
    const QString alternate = AltComListBox->currentText();
    const bool alternateLeftOpen = alternate.isEmpty() && AltComListBox->count() > 0;
    FillPorts(ComPortListBox, ports);
    if (ports.isEmpty())
        ComPortListBox_Click();
    else
        SelectItem(ComPortListBox, std::max(0, ComPortListBox->findText(primary)));
    if (!alternateLeftOpen)
        SelectItem(AltComListBox, std::max(0, AltComListBox->findText(alternate)));
}
