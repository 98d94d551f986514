#include "app/monitor/ReceiveView.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

void ReceiveView::Select(qsizetype anchor, qsizetype caret)
{
    anchor_ = std::clamp<qsizetype>(anchor, 0, TextLength());
    MoveCaret(caret, true);
}

QByteArray ReceiveView::SelectedText() const
{
    return Slice(std::min(anchor_, caret_), std::max(anchor_, caret_));
}

void ReceiveView::Copy() const
{
    if (anchor_ != caret_)
        QGuiApplication::clipboard()->setText(QString::fromLatin1(SelectedText()));
}

void ReceiveView::SelectAll()
{
    Select(0, TextLength());
}

std::unique_ptr<QMenu> ReceiveView::CreateContextMenu()
{
    auto menu = std::make_unique<QMenu>(this);
    QAction* copy = menu->addAction(tr("&Copy"), this, &ReceiveView::Copy);
    copy->setEnabled(anchor_ != caret_);
    menu->addAction(tr("Select &All"), this, &ReceiveView::SelectAll);
    return menu;
}

qsizetype ReceiveView::OffsetAt(const QPoint& point) const
{
    const qsizetype row = qsizetype(std::floor(qreal(point.y()) / lineHeight_));
    const qsizetype line = std::clamp<qsizetype>(verticalScrollBar()->value() + row, 0, LineCount() - 1);
    const qsizetype column = std::max<qsizetype>(
        0, horizontalScrollBar()->value() + qsizetype(std::lround(point.x() / columnWidth_)));
    return LineStart(line) + std::min(column, LineLength(line));
}

void ReceiveView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        dragging_ = true;
        MoveCaret(OffsetAt(event->position().toPoint()), event->modifiers() & Qt::ShiftModifier);
    }
}

void ReceiveView::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::LeftButton)
        MoveCaret(OffsetAt(event->position().toPoint()), true);
}

void ReceiveView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        dragging_ = false;
}

void ReceiveView::contextMenuEvent(QContextMenuEvent* event)
{
    CreateContextMenu()->exec(event->globalPos());
}
