#include "app/MainForm.h"
#include "app/monitor/ReceiveView.h"
#include "port/ModZemoPorts.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QMenu>

#include <algorithm>

namespace {

QAction* Choice(QMenu* menu, const QString& text, const char* name)
{
    QAction* action = menu->addAction(text);
    action->setObjectName(QString::fromLatin1(name));
    action->setCheckable(true);
    return action;
}

}

void MainForm::CreateTimelineMenu(QMenu* viewMenu)
{
    viewMenu->addSeparator();
    ViewShowSentData = Choice(viewMenu, tr("Show Sent &Data"), "ViewShowSentData");
    ViewOneTimeline = Choice(viewMenu, tr("&One Timeline"), "ViewOneTimeline");
    for (QAction* choice : {ViewShowSentData, ViewOneTimeline})
        connect(choice, &QAction::triggered, this, &MainForm::ShowTexts);
    // The pause rule lays the timeline out anew; the texts take it from the next bytes.
    connect(ViewPauses, &QActionGroup::triggered, this, [this] {
        if (timelineShown_)
            ShowTexts();
    });
    const auto noteLine = [this](Timeline::Line line) {
        return [this, line](bool on) {
            Conversation.LineChanged(line, on, modZEMO::ReadStampMoment());
            GrowTimeline();
        };
    };
    // Only the user's own clicks: the connect routines set the lines as the profile says.
    connect(DTRv, &QCheckBox::clicked, this, noteLine(Timeline::Line::DTR));
    connect(RTSv, &QCheckBox::clicked, this, noteLine(Timeline::Line::RTS));
}

bool MainForm::TimelineWanted() const
{
    return TwoPortMode ? ViewOneTimeline->isChecked() : ViewShowSentData->isChecked();
}

TimelineRules MainForm::TimelineLayout() const
{
    TimelineRules rules{OutCombo->currentIndex(), std::max(0, RXBitsNrListBox->currentIndex()),
                        ViewPauses->checkedAction()->data().toInt(),
                        StampKind(ViewStampKinds->checkedAction()->data().toInt()), {}};
    // Latin-1 has the arrows, so that every mark is one column.
    const QByteArray first = modZEMO::PortName.toLatin1();
    const QByteArray second = modZEMO::SecondPortName.toLatin1();
    const QByteArray sent = ViewShowSentData->isChecked() ? first + " \xBB" : QByteArray();
    if (TwoPortMode)
        rules.labels = {first + " \xBB " + second, second + " \xBB " + first, sent.isEmpty() ? sent : "Sent \xBB " + first};
    else
        rules.labels = {first + " \xAB", QByteArray(), sent};
    return rules;
}

void MainForm::ShowTexts()
{
    const int format = OutCombo->currentIndex();
    const bool wanted = TimelineWanted();
    if (wanted) {
        ConversationText.Lay(TimelineLayout());
        RXOut->Show(&ConversationText);
    } else {
        RXOut->Show(RX.Text(format));
    }
    RX2Out->Show(RX2.Text(format));
    if (wanted != timelineShown_) {
        timelineShown_ = wanted;
        FitToClientArea();
    }
}

void MainForm::GrowTimeline()
{
    if (TimelineWanted() != timelineShown_) {
        ShowTexts();
        return;
    }
    if (!timelineShown_)
        return;
    const qsizetype before = ConversationText.Size();
    ConversationText.Grow();
    if (ConversationText.Size() != before)
        RXOut->ShowGrown(&ConversationText);
}

void MainForm::ShowSent(const QByteArray& payload)
{
    if (payload.isEmpty())
        return;
    Conversation.Sent(payload, modZEMO::ReadStampMoment());
    GrowTimeline();
    LogTimeline();
}

bool MainForm::StartTextLog(const QString& path)
{
    QString error;
    if (!TextLog.Open(path, error)) {
        ReportLogFailure(path, error);
        return false;
    }
    TextLog.StartAt(Conversation.Count());
    FileLogMenu->setChecked(true);
    ShowLogState();
    return true;
}

void MainForm::LogTimeline()
{
    if (!TextLog.IsOpen())
        return;
    // Plain arrows: a text file read anywhere.
    const QByteArray first = modZEMO::PortName.toLatin1();
    const QByteArray second = modZEMO::SecondPortName.toLatin1();
    const std::array<QByteArray, 3> labels = TwoPortMode
        ? std::array<QByteArray, 3>{first + " > " + second, second + " > " + first, "Sent > " + first}
        : std::array<QByteArray, 3>{first + " <", QByteArray(), first + " >"};
    QString error;
    if (!TextLog.Take(Conversation, labels, modZEMO::ReadStampMoment().sinceConnect, error))
        ReportLogFailure(TextLog.Path(), error);
}

void MainForm::NoteModemLines(int32_t lines)
{
    // The first read after start is where the lines stand, no change.
    const int32_t before = modemLines_;
    modemLines_ = lines;
    if (before < 0 || before == lines)
        return;
    const modZEMO::StampMoment moment = modZEMO::ReadStampMoment();
    // CTS, DSR, RI and DCD are bits 4 to 7.
    for (int bit = 4; bit < 8; ++bit)
        if (((before ^ lines) >> bit) & 1)
            Conversation.LineChanged(Timeline::Line(bit - 4), (lines >> bit) & 1, moment);
}
