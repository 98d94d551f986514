#include "app/MainForm.h"
#include "app/frmMain.h"
#include "app/transmit/SendingDialogs.h"
#include "app/transmit/SendingState.h"
#include "transmit/TrimSpaces.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <algorithm>

void MainForm::PortRepeatMenu_Click()
{
    if (sending_->repeatTimer->isActive()) {
        StopRepeat();
        return;
    }
    const QString text = modZEMO::TrimSpaces(SendData->text());
    if (text.isEmpty() || !CanSendNow() || !SendButton->isEnabled())
        return;
    const std::optional<sending::RepeatChoice> choice = sending::AskRepeat(&window_, sending_->lastRepeat);
    if (!choice || !CanSendNow())
        return;
    sending_->lastRepeat = *choice;
    // One history entry for the whole run, as for one Send.
    SendKeys.Store(text);
    const std::optional<QByteArray> payload = ComposePayload(text, TXDataTypeListBox->currentIndex(),
                                                             CRCheckbox->checkState() == Qt::Checked,
                                                             LFCheckbox->checkState() == Qt::Checked);
    if (!payload)
        return;
    sending_->repeatPayload = *payload;
    sending_->repeatIntervalMs = choice->intervalMs;
    sending_->repeatLeft = choice->count;
    sending_->repeatLine = PrimaryLineBacklog();
    sending_->repeatDueMs = sending_->clock.elapsed();
    PortRepeatMenu->setText(tr("Stop Repeating"));
    RepeatStep();
}

void MainForm::RepeatStep()
{
    SendingState& s = *sending_;
    if (!CanSendNow() || !SendPayload(s.repeatPayload)) {
        StopRepeat();
        return;
    }
    const qint64 now = s.clock.elapsed();
    s.repeatLine->Sent(s.repeatPayload.size(), now);
    if (s.repeatLeft > 0 && --s.repeatLeft == 0) {
        StopRepeat();
        return;
    }
    // Each send is due one interval after the last was due, so a late tick
    // is made up by the next; but never before the line has moved the last
    // send, so no more than one send ever waits in the driver.
    s.repeatDueMs = std::max(s.repeatDueMs + s.repeatIntervalMs, s.repeatLine->FreeAt());
    s.repeatTimer->start(int(std::max<qint64>(0, s.repeatDueMs - now)));
}

void MainForm::StopRepeat()
{
    sending_->repeatTimer->stop();
    PortRepeatMenu->setText(tr("Repeat Send..."));
    PortRepeatMenu->setEnabled(CanSendNow() && SendButton->isEnabled());
}
