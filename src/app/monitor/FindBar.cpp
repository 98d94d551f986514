#include "app/monitor/FindBar.h"

#include "app/monitor/ReceiveView.h"
#include "monitor/TextSearch.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

#include <algorithm>

FindBar::FindBar(std::function<int()> notation, QWidget* parent)
    : QWidget(parent)
    , notation_(std::move(notation))
{
    Pattern = new QLineEdit(this);
    Pattern->setObjectName(QStringLiteral("FindPattern"));
    Pattern->setPlaceholderText(tr("Find"));
    Pattern->installEventFilter(this);
    HexBytes = new QCheckBox(tr("Hex bytes"), this);
    HexBytes->setObjectName(QStringLiteral("FindHexBytes"));
    HexBytes->setToolTip(tr("Byte values such as 0D 0A, looked for as the shown notation writes them"));
    const auto button = [this](const QString& text, const QString& tip) {
        auto* b = new QToolButton(this);
        b->setText(text);
        b->setToolTip(tip);
        return b;
    };
    QToolButton* previous = button(tr("Previous"), tr("The match before (Shift+Enter)"));
    QToolButton* next = button(tr("Next"), tr("The next match (Enter)"));
    QToolButton* close = button(QStringLiteral("\u00D7"), tr("Close (Esc)"));
    Status = new QLabel(this);
    Status->setObjectName(QStringLiteral("FindStatus"));

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 2, 0, 2);
    row->setSpacing(4);
    row->addWidget(Pattern, 3);
    row->addWidget(HexBytes);
    row->addWidget(previous);
    row->addWidget(next);
    row->addWidget(Status, 2);
    row->addWidget(close);

    connect(previous, &QToolButton::clicked, this, [this] { Find(true); });
    connect(next, &QToolButton::clicked, this, [this] { Find(false); });
    connect(close, &QToolButton::clicked, this, &FindBar::Close);
    connect(Pattern, &QLineEdit::textChanged, Status, &QLabel::clear);
    connect(HexBytes, &QCheckBox::toggled, Status, &QLabel::clear);
    hide();
}

void FindBar::Open(ReceiveView* box)
{
    box_ = box;
    const bool wasHidden = isHidden();
    show();
    Pattern->setFocus();
    Pattern->selectAll();
    if (wasHidden)
        emit Toggled();
}

void FindBar::Close()
{
    if (isHidden())
        return;
    hide();
    Status->clear();
    if (box_)
        box_->setFocus();
    emit Toggled();
}

std::optional<QByteArray> FindBar::Needle()
{
    const QString typed = Pattern->text();
    if (HexBytes->isChecked()) {
        const std::optional<QByteArray> bytes = textsearch::ParseHexBytes(typed);
        if (!bytes) {
            Status->setText(tr("Type hex bytes, for example 0D 0A."));
            return std::nullopt;
        }
        return textsearch::InNotation(*bytes, notation_());
    }
    if (typed.isEmpty())
        return std::nullopt;
    if (std::any_of(typed.begin(), typed.end(), [](QChar c) { return c.unicode() > 255; })) {
        Status->setText(tr("Use only characters with codes 0...255."));
        return std::nullopt;
    }
    return typed.toLatin1();
}

bool FindBar::Find(bool backwards)
{
    const std::optional<QByteArray> needle = Needle();
    if (!box_ || !needle)
        return false;
    ReceiveView* box = box_;
    const qsizetype size = box->TextLength();
    const auto slice = [box](qsizetype from, qsizetype to) { return box->Slice(from, to); };
    const qsizetype selectionStart = std::min(box->AnchorPosition(), box->CaretPosition());
    const qsizetype selectionEnd = std::max(box->AnchorPosition(), box->CaretPosition());
    // Past the last match the search goes round to the other end.
    qsizetype hit = backwards ? textsearch::FindBackward(size, slice, *needle, selectionStart)
                              : textsearch::FindForward(size, slice, *needle, selectionEnd);
    const bool wrapped = hit < 0;
    if (wrapped)
        hit = backwards ? textsearch::FindBackward(size, slice, *needle, size)
                        : textsearch::FindForward(size, slice, *needle, 0);
    if (hit < 0) {
        Status->setText(tr("Not found"));
        return false;
    }
    Status->setText(!wrapped ? QString() : backwards ? tr("From the end") : tr("From the start"));
    box->Select(hit, hit + needle->size());
    return true;
}

bool FindBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Pattern && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            Find(key->modifiers() & Qt::ShiftModifier);
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            Close();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
