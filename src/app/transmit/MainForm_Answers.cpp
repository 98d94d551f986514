#include "app/MainForm.h"
#include "app/frmMain.h"
#include "app/transmit/SendingDialogs.h"
#include "app/transmit/SendingState.h"

#include <QTimer>

void MainForm::PortAnswersMenu_Click()
{
    if (sending::EditAnswers(&window_, sending_->answers))
        StartAnswers();
}

void MainForm::StartAnswers()
{
    SendingState& s = *sending_;
    QList<QByteArray> patterns;
    s.replies.clear();
    for (const modZEMO::AnswerRule& rule : std::as_const(s.answers.rules)) {
        patterns.append(modZEMO::PatternBytes(rule));
        const modZEMO::SendPayload reply = modZEMO::BuildPayload(rule.reply, rule.notation, rule.cr, rule.lf);
        s.replies.append(std::holds_alternative<QByteArray>(reply) ? std::get<QByteArray>(reply) : QByteArray());
    }
    s.matcher = modZEMO::AnswerMatcher(patterns);
    s.limit = {};
    // Only what arrives from now on is answered.
    s.answeredUpTo = RX.Bytes().Size();
}

void MainForm::AnswerReceived()
{
    SendingState& s = *sending_;
    const ByteStore& bytes = RX.Bytes();
    if (bytes.Size() <= s.answeredUpTo)
        return;
    QByteArray fresh(bytes.Size() - s.answeredUpTo, Qt::Uninitialized);
    bytes.CopyTo(s.answeredUpTo, bytes.Size(), fresh.data());
    s.answeredUpTo = bytes.Size();
    // Answers stand in for a device on the primary port; Transparent only relays.
    const auto mayAnswer = [this] {
        return sending_->answers.enabled && SelectedInterface != Transparent && CanSendNow();
    };
    if (!mayAnswer())
        return;
    for (const int rule : s.matcher.Feed(fresh)) {
        if (!s.limit.Allow(rule, s.clock.elapsed()))
            continue;
        QTimer::singleShot(s.answers.rules[rule].delayMs, this, [this, mayAnswer, reply = s.replies[rule]] {
            if (mayAnswer())
                SendPayload(reply);
        });
    }
}
