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

    Fill(ITypeListBox, {QStringLiteral("Generic"), QStringLiteral("IRMan"), QStringLiteral("Creative Infra"),
                        QStringLiteral("CM12(X10)"), QStringLiteral("GSM Data"), QStringLiteral("Transparent")});
    SelectItem(ITypeListBox, Generic);
    Fill(SpeedListBox, {QStringLiteral("110"), QStringLiteral("300"), QStringLiteral("600"), QStringLiteral("1200"),
                        QStringLiteral("2400"), QStringLiteral("4800"), QStringLiteral("9600"), QStringLiteral("19200"),
                        QStringLiteral("38400"), QStringLiteral("57600"), QStringLiteral("115200"),
                        QStringLiteral("128000")});
    SelectItem(SpeedListBox, 6);
    Fill(HandshakeListBox, {QStringLiteral("None"), QStringLiteral("XON/XOFF"), QStringLiteral("Hardware")});
    SelectItem(HandshakeListBox, 0);
    Fill(BitsListBox, {QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("7"), QStringLiteral("8")});
    SelectItem(BitsListBox, 3);
    Fill(ParityListBox, {QStringLiteral("None"), QStringLiteral("Odd"), QStringLiteral("Even"), QStringLiteral("Mark"),
                         QStringLiteral("Space")});
    SelectItem(ParityListBox, 0);
    Fill(StopListBox, {QStringLiteral("1"), QStringLiteral("1.5"), QStringLiteral("2")});
    SelectItem(StopListBox, 0);
    Fill(TXDataTypeListBox, {QStringLiteral("HEX"), QStringLiteral("DEC"), QStringLiteral("BIN"), QStringLiteral("CHAR")});
    SelectItem(TXDataTypeListBox, 3);
    TXDataTypeListBox_Click();
    QStringList counts;
    for (int i = 0; i <= 64; ++i)
        counts << QString::number(i);
    Fill(RXBitsNrListBox, counts);
    SelectItem(RXBitsNrListBox, 0);
    Fill(OutCombo, {QStringLiteral("Bin"), QStringLiteral("Hex"), QStringLiteral("Chr")});
    SelectItem(OutCombo, 2);
}
