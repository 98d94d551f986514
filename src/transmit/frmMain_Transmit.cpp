#include "app/MsgBox.h"
#include "app/frmMain.h"
#include "port/ModZemoPorts.h"
#include "transmit/SendHistory.h"
#include "transmit/SendParser.h"
#include "transmit/TrimSpaces.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

using modZEMO::SendHistory;
using modZEMO::SendHistoryRing;

void frmMain::SendButton_Click()
{
    const QString text = modZEMO::TrimSpaces(SendData->text());
    if (text.isEmpty())
        return;
    if (ITypeListBox->currentIndex() == CM12X10 && text == u"RESET") {
        ResetX10Interface();
        return;
    }

    // Stored before it is checked, so that a refused text can be recalled and mended.
    HistoryIndex = SendHistory.Store(HistoryIndex, text);
    RecallIndex = static_cast<int16_t>(HistoryIndex + 1);

    const modZEMO::SendPayload result = modZEMO::BuildPayload(text, TXDataTypeListBox->currentIndex(),
                                                              CRCheckbox->checkState() == Qt::Checked,
                                                              LFCheckbox->checkState() == Qt::Checked);
    if (const auto* refusal = std::get_if<modZEMO::SendRefusal>(&result)) {
        if (!refusal->message.isEmpty()) {
            modZEMO::MsgBox(refusal->message, modZEMO::MsgInformation);
            if (refusal->focusSendData)
                SendData->setFocus();
        }
        return;
    }

    const QByteArray& payload = std::get<QByteArray>(result);
    // A failed write shows its own message; the send goes on as after a good one.
    modZEMO::WritePort(modZEMO::hCom, payload);
    if (SelectedInterface == CM12X10)
        X10ChecksumExchange(payload);
    SendData->clear();
    SendData->setFocus();
}

void frmMain::TXDataTypeListBox_Click()
{
    if (TXDataTypeListBox->currentText() == u"CHAR") {
        CRCheckbox->setEnabled(true);
        LFCheckbox->setEnabled(true);
        return;
    }
    CRCheckbox->setEnabled(false);
    LFCheckbox->setEnabled(false);
    SetValue(CRCheckbox, 0);
    SetValue(LFCheckbox, 0);
}

void frmMain::SendData_KeyDown(int key, bool)
{
    // While a recall key is held, its auto-repeat and any other key, Enter too, do nothing here.
    if (RecallKeyHeld)
        return;
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        SendButton_Click();
        return;
    }
    if (key == Qt::Key_Up)
        RecallIndex = SendHistoryRing::StepBack(RecallIndex);
    else if (key == Qt::Key_Down)
        RecallIndex = SendHistoryRing::StepForward(RecallIndex);
    else
        return;
    RecallKeyHeld = true;
    SendData->setText(SendHistory.Recall(RecallIndex));
}

void frmMain::SendData_KeyUp(int key, bool autoRepeat)
{
    // The release that auto-repeat reports between repeats is not the key coming up.
    if (!RecallKeyHeld || autoRepeat)
        return;
    if (key == Qt::Key_Up || key == Qt::Key_Down)
        SendData->setCursorPosition(SendData->text().size());
    RecallKeyHeld = false;
}
