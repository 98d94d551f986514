#include "app/transmit/SendingDialogs.h"

#include "app/MsgBox.h"
#include "profiles/SettingLists.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>

#include <functional>
#include <vector>

namespace sending {

namespace {

template <typename W>
W* Named(const QString& name, QWidget* parent)
{
    auto* w = new W(parent);
    w->setObjectName(name);
    return w;
}

// The name of a row's field: stem and the row's number.
QString Field(const char* stem, int n)
{
    return QString::fromLatin1(stem) + QString::number(n);
}

// OK and Cancel under content; accepting runs check first, which may keep the dialog open.
QDialogButtonBox* AddButtons(QDialog& dialog, QLayout* layout, std::function<bool()> check = {})
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&dialog, check] {
        if (!check || check())
            dialog.accept();
    });
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    return buttons;
}

// The send notations as the Type list names them.
QComboBox* NotationList(const QString& name, QWidget* parent, int notation)
{
    auto* list = Named<QComboBox>(name, parent);
    list->addItems(lists::TransmitTypeEntries());
    list->setCurrentIndex(notation);
    return list;
}

QCheckBox* Tick(const QString& name, QWidget* parent, const QString& text, bool on)
{
    auto* box = Named<QCheckBox>(name, parent);
    box->setText(text);
    box->setChecked(on);
    return box;
}

// Whether text is valid in notation; shows the reason, as Send does, when not.
bool Valid(const QString& text, int notation, bool cr, bool lf)
{
    const modZEMO::SendPayload payload = modZEMO::BuildPayload(text, notation, cr, lf);
    if (const auto* refusal = std::get_if<modZEMO::SendRefusal>(&payload)) {
        modZEMO::MsgBox(refusal->message, modZEMO::MsgInformation);
        return false;
    }
    return true;
}

}

std::optional<RepeatChoice> AskRepeat(QWidget* parent, const RepeatChoice& last)
{
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("RepeatDialog"));
    dialog.setWindowTitle(QObject::tr("Repeat Send"));
    auto* layout = new QFormLayout(&dialog);
    auto* interval = Named<QSpinBox>(QStringLiteral("RepeatInterval"), &dialog);
    interval->setRange(MinRepeatMs, MaxRepeatMs);
    interval->setSuffix(QObject::tr(" ms"));
    interval->setValue(last.intervalMs);
    auto* count = Named<QSpinBox>(QStringLiteral("RepeatCount"), &dialog);
    count->setRange(0, 1000000000);
    count->setSpecialValueText(QObject::tr("until stopped"));
    count->setValue(last.count);
    layout->addRow(QObject::tr("Every"), interval);
    layout->addRow(QObject::tr("Times"), count);
    AddButtons(dialog, layout);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return RepeatChoice{interval->value(), count->value()};
}

bool EditMacros(QWidget* parent, modZEMO::Macros& macros)
{
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("MacrosDialog"));
    dialog.setWindowTitle(QObject::tr("Macros"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* grid = new QGridLayout;
    layout->addLayout(grid);
    const QStringList headings{QObject::tr("Key"), QObject::tr("Name"), QObject::tr("Text"), QObject::tr("Type")};
    for (int c = 0; c < headings.size(); ++c)
        grid->addWidget(new QLabel(headings[c], &dialog), 0, c);
    struct Row {
        QLineEdit* name;
        QLineEdit* text;
        QComboBox* notation;
        QCheckBox* cr;
        QCheckBox* lf;
    };
    std::vector<Row> rows;
    for (int i = 0; i < modZEMO::MacroCount; ++i) {
        const modZEMO::Macro& macro = macros[size_t(i)];
        const int n = i + 1;
        Row row{Named<QLineEdit>(Field("MacroName", n), &dialog), Named<QLineEdit>(Field("MacroText", n), &dialog),
                NotationList(Field("MacroNotation", n), &dialog, macro.notation),
                Tick(Field("MacroCR", n), &dialog, QObject::tr("CR"), macro.cr),
                Tick(Field("MacroLF", n), &dialog, QObject::tr("LF"), macro.lf)};
        row.name->setText(macro.name);
        row.text->setText(macro.text);
        grid->addWidget(new QLabel(QStringLiteral("F%1").arg(n), &dialog), i + 1, 0);
        grid->addWidget(row.name, i + 1, 1);
        grid->addWidget(row.text, i + 1, 2);
        grid->addWidget(row.notation, i + 1, 3);
        grid->addWidget(row.cr, i + 1, 4);
        grid->addWidget(row.lf, i + 1, 5);
        rows.push_back(row);
    }
    AddButtons(dialog, layout);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    for (int i = 0; i < modZEMO::MacroCount; ++i) {
        const Row& row = rows[size_t(i)];
        // CR and LF belong to characters only, as in the send box.
        const bool chars = row.notation->currentIndex() == int(modZEMO::TransmitDataType::Char);
        macros[size_t(i)] = {row.name->text(), row.text->text(), row.notation->currentIndex(),
                             chars && row.cr->isChecked(), chars && row.lf->isChecked()};
    }
    return true;
}

bool EditAnswers(QWidget* parent, modZEMO::Answers& answers)
{
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("AnswersDialog"));
    dialog.setWindowTitle(QObject::tr("Answers"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* enabled = Tick(QStringLiteral("AnswersEnabled"), &dialog, QObject::tr("Answer received data"),
                         answers.enabled);
    layout->addWidget(enabled);
    auto* grid = new QGridLayout;
    layout->addLayout(grid);
    const QStringList headings{QObject::tr("When received"), QObject::tr("Hex"), QObject::tr("Send"),
                               QObject::tr("Type"), QString(), QString(), QObject::tr("After")};
    for (int c = 0; c < headings.size(); ++c)
        grid->addWidget(new QLabel(headings[c], &dialog), 0, c);
    struct Row {
        QLineEdit* pattern;
        QCheckBox* hex;
        QLineEdit* reply;
        QComboBox* notation;
        QCheckBox* cr;
        QCheckBox* lf;
        QSpinBox* delay;
    };
    std::vector<Row> rows;
    for (int i = 0; i < AnswerRows; ++i) {
        const modZEMO::AnswerRule rule = answers.rules.value(i);
        const int n = i + 1;
        Row row{Named<QLineEdit>(Field("AnswerPattern", n), &dialog),
                Tick(Field("AnswerHex", n), &dialog, QString(), rule.patternHex),
                Named<QLineEdit>(Field("AnswerReply", n), &dialog),
                NotationList(Field("AnswerNotation", n), &dialog, rule.notation),
                Tick(Field("AnswerCR", n), &dialog, QObject::tr("CR"), rule.cr),
                Tick(Field("AnswerLF", n), &dialog, QObject::tr("LF"), rule.lf),
                Named<QSpinBox>(Field("AnswerDelay", n), &dialog)};
        row.pattern->setText(rule.pattern);
        row.reply->setText(rule.reply);
        row.delay->setRange(0, modZEMO::MaxAnswerDelayMs);
        row.delay->setSuffix(QObject::tr(" ms"));
        row.delay->setValue(rule.delayMs);
        const QList<QWidget*> cells{row.pattern, row.hex, row.reply, row.notation, row.cr, row.lf, row.delay};
        for (int c = 0; c < cells.size(); ++c)
            grid->addWidget(cells[c], i + 1, c);
        rows.push_back(row);
    }
    const auto rules = [&rows] {
        QList<modZEMO::AnswerRule> taken;
        for (const Row& row : rows) {
            if (row.pattern->text().isEmpty())
                continue;
            const bool chars = row.notation->currentIndex() == int(modZEMO::TransmitDataType::Char);
            taken.append({row.pattern->text(), row.hex->isChecked(), row.reply->text(), row.notation->currentIndex(),
                          chars && row.cr->isChecked(), chars && row.lf->isChecked(), row.delay->value()});
        }
        return taken;
    };
    AddButtons(dialog, layout, [&rules] {
        for (const modZEMO::AnswerRule& rule : rules()) {
            if (rule.patternHex && !Valid(rule.pattern, int(modZEMO::TransmitDataType::Hex), false, false))
                return false;
            if (!Valid(rule.reply, rule.notation, rule.cr, rule.lf))
                return false;
        }
        return true;
    });
    if (dialog.exec() != QDialog::Accepted)
        return false;
    answers = {enabled->isChecked(), rules()};
    return true;
}

}
