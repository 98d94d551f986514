#include "app/MsgBox.h"
#include "app/MainForm.h"
#include "port/ModZemoPorts.h"
#include "transmit/SendParser.h"
#include "transmit/TrimSpaces.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

void MainForm::SendButton_Click()
{
    const QString text = modZEMO::TrimSpaces(SendData->text());
    if (text.isEmpty())
        return;
    if (ITypeListBox->currentIndex() == CM12X10 && text == u"RESET") {
        ResetX10Interface();
        return;
    }

    // Stored before it is checked, so that a refused text can be recalled and mended.
    SendKeys.Store(text);
    ChoicesChanged();

    if (!SendComposed(text, TXDataTypeListBox->currentIndex(), CRCheckbox->checkState() == Qt::Checked,
                      LFCheckbox->checkState() == Qt::Checked))
        return;
    SendData->clear();
    SendData->setFocus();
}

std::optional<QByteArray> MainForm::ComposePayload(const QString& text, int notation, bool cr, bool lf)
{
    modZEMO::SendPayload result = modZEMO::BuildPayload(text, notation, cr, lf);
    if (const auto* refusal = std::get_if<modZEMO::SendRefusal>(&result)) {
        if (!refusal->message.isEmpty()) {
            modZEMO::MsgBox(refusal->message, modZEMO::MsgInformation);
            if (refusal->focusSendData)
                SendData->setFocus();
        }
        return std::nullopt;
    }
    return std::get<QByteArray>(std::move(result));
}

bool MainForm::SendComposed(const QString& text, int notation, bool cr, bool lf)
{
    const std::optional<QByteArray> payload = ComposePayload(text, notation, cr, lf);
    if (!payload)
        return false;
    // A failed write shows its own message; the send goes on as after a good one.
    SendPayload(*payload);
    if (SelectedInterface == CM12X10)
        X10ChecksumExchange(*payload);
    return true;
}

bool MainForm::SendPayload(const QByteArray& payload)
{
    // Every send passes here: the typed one, a repeat, a macro, an answer, each piece of a file.
    const bool written = modZEMO::WritePort(modZEMO::hCom, payload);
    if (written)
        ShowSent(payload);
    return written;
}

void MainForm::TXDataTypeListBox_Click()
{
    if (TXDataTypeListBox->currentIndex() == lists::TxChar) {
        CRCheckbox->setEnabled(true);
        LFCheckbox->setEnabled(true);
        return;
    }
    CRCheckbox->setEnabled(false);
    LFCheckbox->setEnabled(false);
    SetValue(CRCheckbox, 0);
    SetValue(LFCheckbox, 0);
}

void MainForm::SendData_KeyDown(int key, bool)
{
    switch (SendKeys.KeyDown(key)) {
    case RecallKeys::Action::Send: SendButton_Click(); break;
    case RecallKeys::Action::ShowRecalled: SendData->setText(SendKeys.Recalled()); break;
    case RecallKeys::Action::None: break;
    }
}

void MainForm::SendData_KeyUp(int key, bool autoRepeat)
{
    if (SendKeys.KeyUp(key, autoRepeat))
        SendData->setCursorPosition(int(SendData->text().size()));
}
