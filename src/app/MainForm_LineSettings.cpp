#include "app/MsgBox.h"
#include "app/MainForm.h"
#include "port/ModZemoPorts.h"

#include <QCheckBox>
#include <QComboBox>

namespace {

// Value 1 asserts the line, 0 drops it; a greyed box leaves it alone.
void DriveLine(const QCheckBox* box, win32::DWORD set, win32::DWORD clear)
{
    switch (box->checkState()) {
    case Qt::Checked: win32::EscapeCommFunction(modZEMO::hCom, set); break;
    case Qt::Unchecked: win32::EscapeCommFunction(modZEMO::hCom, clear); break;
    default: break;
    }
}
}

void MainForm::StopListBox_Click()
{
    if (StopListBox->currentIndex() == lists::OneAndHalfStopBits && BitsListBox->currentIndex() == lists::EightBits) {
        modZEMO::MsgBox(tr("invalid value for 8 bits data"), modZEMO::MsgCritical);
        SelectItem(StopListBox, lists::OneStopBit);
    }
}

// Only recorded here; the connect routines read the list.
void MainForm::HandshakeListBox_Click() {}

void MainForm::ParityListBox_Click() {}

void MainForm::DTRv_Click()
{
    DriveLine(DTRv, win32::SETDTR, win32::CLRDTR);
}

void MainForm::RTSv_Click()
{
    DriveLine(RTSv, win32::SETRTS, win32::CLRRTS);
}
