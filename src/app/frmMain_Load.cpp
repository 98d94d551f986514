#include "app/Version.h"
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

namespace {

constexpr int HighestPort = 30;

// Fills a list without running its handler; the caller selects the default.
void Fill(QComboBox* list, const QStringList& items)
{
    const QSignalBlocker quiet(list);
    list->clear();
    list->addItems(items);
}

}

void frmMain::Form_Load()
{
    Timer1->stop();
    SendData->setEnabled(false);
    TwoPortMode = false;
    setWindowTitle(QStringLiteral("Wendale v") + modZEMO::VersionString);
    PortIsOpen = false;

    SelectedInterface = Generic;
    SendButton->setEnabled(false);
    DTRv->setEnabled(false);
    RTSv->setEnabled(false);

    {
        const QSignalBlocker quiet(ComPortListBox);
        for (int16_t n = 1; n <= HighestPort; ++n) {
            if (!modZEMO::PortExists(n))
                continue;
            ComPortListBox->addItem(QStringLiteral("COM%1").arg(n));
            ComPortListBox->setItemData(ComPortListBox->count() - 1, QFile::decodeName(comnames::ComDevicePath(n)),
                                         Qt::ToolTipRole);
        }
    }
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
