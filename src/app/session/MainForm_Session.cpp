#include "app/FileDialog.h"
#include "app/MainForm.h"
#include "app/frmMain.h"
#include "app/transmit/SendingState.h"
#include "profiles/SettingLists.h"
#include "session/SavedHistory.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <optional>

namespace {

// The lists whose entries are kept by their text, in the order they are put
// back: the interface type first, whose own selections the lists after it
// then override, the data bits before the stop bits that depend on them.
struct KeptList {
    const char* key;
    QComboBox* MainForm::*list;
};
constexpr KeptList KeptLists[] = {
    {"Interface", &MainForm::ITypeListBox},
    {"Line/Speed", &MainForm::SpeedListBox},
    {"Line/Handshake", &MainForm::HandshakeListBox},
    {"Line/Bits", &MainForm::BitsListBox},
    {"Line/Parity", &MainForm::ParityListBox},
    {"Line/Stop", &MainForm::StopListBox},
    {"Send/Notation", &MainForm::TXDataTypeListBox},
    {"Receive/BytesPerLine", &MainForm::RXBitsNrListBox},
    {"Receive/Notation", &MainForm::OutCombo},
};

constexpr int SaveDelayMs = 100;

QString MenuKey(const QAction* action)
{
    return QStringLiteral("Menus/") + action->objectName();
}

// A kept true or false: INI keeps them as text.
std::optional<bool> Flag(const QVariant& value)
{
    const QString text = value.toString();
    if (text == u"true" || text == u"false")
        return text == u"true";
    return std::nullopt;
}

}

QList<QAction*> MainForm::KeptMenuChoices() const
{
    // The checkable entries of the View and Port menus; the log's entry tells
    // a state, not a choice.
    QList<QAction*> kept;
    for (const char* menu : {"ViewMenu", "PortMenu"})
        for (QAction* action : window_.menuBar()->findChild<QMenu*>(QString::fromLatin1(menu))->findChildren<QAction*>())
            if (action->isCheckable() && !action->objectName().isEmpty())
                kept << action;
    return kept;
}

QVariantMap MainForm::CurrentChoices() const
{
    QVariantMap choices;
    choices.insert(QStringLiteral("Port/Primary"), ComPortListBox->currentText());
    choices.insert(QStringLiteral("Port/Second"), AltComListBox->currentText());
    for (const KeptList& kept : KeptLists)
        choices.insert(QString::fromLatin1(kept.key), (this->*kept.list)->currentText());
    choices.insert(QStringLiteral("Send/CR"), CRCheckbox->isChecked());
    choices.insert(QStringLiteral("Send/LF"), LFCheckbox->isChecked());
    for (const QAction* action : KeptMenuChoices())
        choices.insert(MenuKey(action), action->isChecked());
    choices.insert(QStringLiteral("Send/History"), session::SavedHistory());
    choices.insert(QStringLiteral("Send/HistoryIndex"), int(SendKeys.HistoryIndex()));
    modZEMO::SaveMacros(choices, sending_->macros);
    modZEMO::SaveAnswers(choices, sending_->answers);
    choices.insert(QStringLiteral("Window/Geometry"), window_.saveGeometry());
    choices.insert(QStringLiteral("Window/DialogFolder"), modZEMO::DialogFolder());
    return choices;
}

void MainForm::RestoreChoices()
{
    const QVariantMap saved = choiceFile_.Load();
    if (saved.isEmpty())
        return;
    QStringList nonsense;
    const auto select = [&](QComboBox* list, const char* key) {
        const QVariant value = saved.value(QString::fromLatin1(key));
        if (!value.isValid())
            return;
        const int index = list->findText(value.toString(), Qt::MatchExactly);
        if (index >= 0)
            SelectItem(list, index);
        else if (list == SpeedListBox && lists::TypedSpeed(value.toString()))
            list->setEditText(value.toString());
        else
            nonsense << QString::fromLatin1(key);
    };
    // A port that has gone since keeps the written default, silently.
    if (const int primary = ComPortListBox->findText(saved.value(QStringLiteral("Port/Primary")).toString());
        primary >= 0)
        SelectItem(ComPortListBox, primary);
    for (const KeptList& kept : KeptLists) {
        // The stop bits that 8 data bits refuse keep the default, without the rule's message.
        if (kept.list == &MainForm::StopListBox && BitsListBox->currentIndex() == lists::EightBits
            && saved.value(QString::fromLatin1(kept.key)).toString() == StopListBox->itemText(lists::OneAndHalfStopBits))
            continue;
        select(this->*kept.list, kept.key);
    }
    SelectItem(AltComListBox, std::max(0, AltComListBox->findText(saved.value(QStringLiteral("Port/Second")).toString())));
    for (QCheckBox* box : {CRCheckbox, LFCheckbox}) {
        const QString key = box == CRCheckbox ? QStringLiteral("Send/CR") : QStringLiteral("Send/LF");
        if (!saved.contains(key))
            continue;
        if (const auto on = Flag(saved.value(key)))
            SetValue(box, box->isEnabled() && *on ? 1 : 0);
        else
            nonsense << key;
    }
    for (QAction* action : KeptMenuChoices()) {
        if (!saved.contains(MenuKey(action)))
            continue;
        const auto on = Flag(saved.value(MenuKey(action)));
        if (!on)
            nonsense << MenuKey(action);
        // Through the entry's own handler; an exclusive entry is left by choosing another.
        else if (*on != action->isChecked() && (*on || !action->actionGroup() || !action->actionGroup()->isExclusive()))
            action->trigger();
    }
    if (saved.contains(QStringLiteral("Send/History"))
        && !session::RestoreHistory(saved.value(QStringLiteral("Send/History")).toStringList(),
                                    saved.value(QStringLiteral("Send/HistoryIndex")).toInt(), SendKeys))
        nonsense << QStringLiteral("Send/History");
    if (saved.contains(QStringLiteral("Window/Geometry"))
        && !window_.restoreGeometry(saved.value(QStringLiteral("Window/Geometry")).toByteArray()))
        nonsense << QStringLiteral("Window/Geometry");
    modZEMO::SetDialogFolder(saved.value(QStringLiteral("Window/DialogFolder")).toString());
    PutBackSending(modZEMO::LoadMacros(saved), modZEMO::LoadAnswers(saved));
    if (!nonsense.isEmpty())
        std::fprintf(stderr, "wendale: saved choices that make no sense were left at their defaults: %s\n",
                     qPrintable(nonsense.join(QStringLiteral(", "))));
}

void MainForm::PutBackSending(const modZEMO::Macros& macros, const modZEMO::Answers& answers)
{
    sending_->macros = macros;
    ShowMacroCaptions();
    sending_->answers = answers;
    StartAnswers();
}

void MainForm::WatchChoices()
{
    saveTimer_ = new QTimer(this);
    saveTimer_->setSingleShot(true);
    saveTimer_->setInterval(SaveDelayMs);
    connect(saveTimer_, &QTimer::timeout, this, &MainForm::SaveChoices);
    // Only what the user does: a list the program fills or falls back saves nothing.
    for (QComboBox* list : window_.findChildren<QComboBox*>())
        connect(list, &QComboBox::activated, this, &MainForm::ChoicesChanged);
    connect(SpeedListBox->lineEdit(), &QLineEdit::textEdited, this, &MainForm::ChoicesChanged);
    for (QCheckBox* box : {CRCheckbox, LFCheckbox})
        connect(box, &QCheckBox::clicked, this, &MainForm::ChoicesChanged);
    // A menu entry may change a choice, or the folder of a file dialog.
    for (QAction* action : window_.menuBar()->findChildren<QAction*>())
        if (action != FileForgetMenu)
            connect(action, &QAction::triggered, this, &MainForm::ChoicesChanged);
    keptSize_ = window_.size();
}

void MainForm::ChoicesChanged()
{
    saveTimer_->start();
}

void MainForm::SaveChoices()
{
    // What a message box is about to undo is not kept.
    if (QApplication::activeModalWidget()) {
        saveTimer_->start();
        return;
    }
    saveTimer_->stop();
    keptSize_ = window_.size();
    choiceFile_.Save(CurrentChoices());
}

void MainForm::SaveChoicesAtClose()
{
    // The size is kept with every other choice; one changed alone is kept now.
    if (saveTimer_->isActive() || window_.size() != keptSize_)
        SaveChoices();
}

void MainForm::FileForgetMenu_Click()
{
    if (PortIsOpen)
        return;
    saveTimer_->stop();
    choiceFile_.Forget();
    Form_Load();
    for (QAction* action : KeptMenuChoices())
        if (action->isChecked() != writtenMenuChoices_.contains(action))
            action->trigger();
    session::ForgetHistory(SendKeys);
    PutBackSending({}, {});
    modZEMO::SetDialogFolder({});
    window_.resize(window_.minimumSizeHint());
    keptSize_ = window_.size();
    // Forgetting is not a change to keep: the file stays gone until the next one.
    saveTimer_->stop();
}
