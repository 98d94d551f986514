#include "app/frmMain.h"
#include "port/ModZemoPorts.h"
#include "profiles/ConnectSteps.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTimer>

using namespace modZEMO;
using ConnectSteps::OpenFixed;

namespace {

enum SpeedIndex { Speed4800 = 5, Speed9600 = 6, Speed115200 = 10 };

}

void frmMain::ConnectIRMan()
{
    SelectFixedSettings(Speed9600);
    PortName = ComPortListBox->currentText();
    // The receiver is powered from RTS and DTR: drop them with the settings,
    // then raise them and give it time before the start-up sequence.
    if (OpenFixed({9600, 8, win32::NOPARITY, win32::ONESTOPBIT}, ConnectSteps::BinaryOnly)) {
        ConnectSteps::RaiseLines(hCom);
        TickLineBoxes(true, true);
        win32::Sleep(500);
        WritePort(hCom, QByteArrayLiteral("I"));
        win32::Sleep(500);
        WritePort(hCom, QByteArrayLiteral("R"));
        win32::Sleep(100);
        ShowConnected(false);
    }
    Timer1->start();
}

void frmMain::ConnectCreativeInfra()
{
    SelectFixedSettings(Speed4800);
    PortName = ComPortListBox->currentText();
    if (OpenFixed({4800, 8, win32::NOPARITY, win32::ONESTOPBIT}, ConnectSteps::BinaryOnly)) {
        TickLineBoxes(true, true);
        ConnectSteps::RaiseLines(hCom);
        ShowConnected(false);
        SelectItem(TXDataTypeListBox, 0);
        SelectItem(RXBitsNrListBox, 9);
        SelectItem(OutCombo, 1);
        SendData->setEnabled(true);
    }
    Timer1->start();
}

void frmMain::ConnectGSMData()
{
    SelectFixedSettings(Speed115200);
    PortName = ComPortListBox->currentText();
    if (!OpenFixed({115200, 8, win32::NOPARITY, win32::ONESTOPBIT}, ConnectSteps::KeepWithBinary))
        return;
    TickLineBoxes(true, true);
    ConnectSteps::RaiseLines(hCom);
    ShowConnected(false);
    SelectItem(TXDataTypeListBox, 3);
    SelectItem(RXBitsNrListBox, 0);
    SelectItem(OutCombo, 2);
    SetValue(CRCheckbox, 1);
    SetValue(LFCheckbox, 1);
    SendData->setEnabled(true);
    Timer1->start();
}
