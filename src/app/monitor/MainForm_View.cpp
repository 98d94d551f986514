#include "app/MainForm.h"
#include "app/frmMain.h"
#include "app/monitor/ReceiveView.h"
#include "monitor/StampWriter.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QMenu>
#include <QMenuBar>

#include <initializer_list>
#include <utility>

namespace {

struct Choice {
    const char* name;
    QString text;
    int value;
};

// Exclusive, checkable entries of menu, each carrying its value; the first is checked.
QActionGroup* Choices(QMenu* menu, std::initializer_list<Choice> choices)
{
    auto* group = new QActionGroup(menu);
    for (const Choice& choice : choices) {
        QAction* action = menu->addAction(choice.text);
        action->setObjectName(QString::fromLatin1(choice.name));
        action->setCheckable(true);
        action->setData(choice.value);
        group->addAction(action);
    }
    group->actions().constFirst()->setChecked(true);
    return group;
}

}

void MainForm::CreateViewMenu()
{
    // Right after File, before the menus that follow it.
    QMenuBar* bar = window_.menuBar();
    auto* viewMenu = new QMenu(tr("&View"), bar);
    viewMenu->setObjectName(QStringLiteral("ViewMenu"));
    bar->insertMenu(bar->actions().value(1), viewMenu);

    QMenu* stamps = viewMenu->addMenu(tr("Time &Stamps"));
    stamps->setObjectName(QStringLiteral("ViewStampsMenu"));
    ViewStampKinds = Choices(stamps, {{"ViewStampTicks", tr("&Ticks"), int(StampKind::Ticks)},
                                      {"ViewStampTimeOfDay", tr("Time of &Day"), int(StampKind::TimeOfDay)},
                                      {"ViewStampSinceConnect", tr("Since &Connect"), int(StampKind::SinceConnect)},
                                      {"ViewStampSincePrevious", tr("Since &Previous Line"),
                                       int(StampKind::SincePreviousLine)}});
    connect(ViewStampKinds, &QActionGroup::triggered, this, &MainForm::ViewStampKinds_Click);

    ViewStampEveryLine = viewMenu->addAction(tr("Stamp Every &Line"));
    ViewStampEveryLine->setObjectName(QStringLiteral("ViewStampEveryLine"));
    ViewStampEveryLine->setCheckable(true);

    QMenu* pauses = viewMenu->addMenu(tr("New Line After a &Pause"));
    pauses->setObjectName(QStringLiteral("ViewPauseMenu"));
    ViewPauses = Choices(pauses, {{"ViewPause0", tr("&Off"), 0},
                                  {"ViewPause20", tr("20 ms"), 20},
                                  {"ViewPause50", tr("50 ms"), 50},
                                  {"ViewPause100", tr("100 ms"), 100},
                                  {"ViewPause200", tr("200 ms"), 200},
                                  {"ViewPause500", tr("500 ms"), 500},
                                  {"ViewPause1000", tr("1 s"), 1000}});
    CreateTimelineMenu(viewMenu);
}

void MainForm::ViewStampKinds_Click()
{
    const auto kind = StampKind(ViewStampKinds->checkedAction()->data().toInt());
    // Every kind of stamp has one length: each box keeps its place and its
    // selection, and only its lines are painted again.
    ConversationText.SetStampKind(kind);
    for (const auto& [texts, box] : {std::pair(&RX, RXOut), std::pair(&RX2, RX2Out)}) {
        texts->SetStampKind(kind);
        const ShownText* text = texts->Text(OutCombo->currentIndex());
        if (box == RXOut && timelineShown_)
            text = &ConversationText;
        if (text) {
            box->ShowGrown(text);
            box->viewport()->update();
        }
    }
}

LineRules MainForm::ReceiveLineRules() const
{
    return {RXBitsNrListBox->currentIndex(), TwoPortMode, ViewStampEveryLine->isChecked(),
            ViewPauses->checkedAction()->data().toInt()};
}
