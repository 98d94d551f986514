#include "app/monitor/ReceiveView.h"

#include <QKeyEvent>
#include <QScrollBar>

#include <algorithm>
#include <climits>

namespace {

// Moves made by the view itself are told from the user's.
class OwnScroll {
public:
    explicit OwnScroll(bool& flag)
        : flag_(flag)
        , was_(flag)
    {
        flag_ = true;
    }
    ~OwnScroll() { flag_ = was_; }
    OwnScroll(const OwnScroll&) = delete;
    OwnScroll& operator=(const OwnScroll&) = delete;

private:
    bool& flag_;
    bool was_;
};

int ClampToInt(qsizetype value)
{
    return int(std::clamp<qsizetype>(value, 0, INT_MAX));
}

}

int ReceiveView::VisibleRows() const
{
    return std::max(1, viewport()->height() / lineHeight_);
}

int ReceiveView::VisibleColumns() const
{
    return std::max(1, int(viewport()->width() / columnWidth_));
}

void ReceiveView::UpdateScrollBars()
{
    const OwnScroll own(ownScroll_);
    const int rows = VisibleRows();
    const int columns = VisibleColumns();
    verticalScrollBar()->setRange(0, ClampToInt(LineCount() - rows));
    verticalScrollBar()->setPageStep(rows);
    // One column more than the longest line, for the caret after its end.
    horizontalScrollBar()->setRange(0, ClampToInt(longest_ + 1 - columns));
    horizontalScrollBar()->setPageStep(columns);
}

void ReceiveView::EnsureCaretVisible()
{
    const OwnScroll own(ownScroll_);
    const qsizetype line = LineOf(caret_);
    const qsizetype column = std::min(caret_ - LineStart(line), LineLength(line));
    QScrollBar* vertical = verticalScrollBar();
    if (line < vertical->value())
        vertical->setValue(ClampToInt(line));
    else if (line >= vertical->value() + VisibleRows())
        vertical->setValue(ClampToInt(line - VisibleRows() + 1));
    QScrollBar* horizontal = horizontalScrollBar();
    if (column < horizontal->value())
        horizontal->setValue(ClampToInt(column));
    else if (column >= horizontal->value() + VisibleColumns())
        horizontal->setValue(ClampToInt(column - VisibleColumns() + 1));
}

void ReceiveView::MoveCaret(qsizetype offset, bool extend)
{
    caret_ = std::clamp<qsizetype>(offset, 0, TextLength());
    if (!extend)
        anchor_ = caret_;
    EnsureCaretVisible();
    following_ = anchor_ == caret_ && AtEnd();
    RepaintAll();
}

void ReceiveView::ShowEnd()
{
    if (anchor_ == caret_) {
        EnsureCaretVisible();
        return;
    }
    const OwnScroll own(ownScroll_);
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

bool ReceiveView::AtEnd() const
{
    return verticalScrollBar()->value() == verticalScrollBar()->maximum();
}

void ReceiveView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
    // A view that follows stays at the end when the box grows or shrinks.
    if (following_) {
        const OwnScroll own(ownScroll_);
        verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    }
}

void ReceiveView::scrollContentsBy(int dx, int dy)
{
    // Decided before anything here may paint a frame at once: a frame that
    // follows must not undo the user's scroll away from the end.
    if (!ownScroll_) {
        if (dy != 0)
            following_ = AtEnd();
        streamingPast_ = false;
    }
    if (dx != 0)
        RepaintAll();
    scrolledRows_ += dy;
    ScheduleFrame();
}

void ReceiveView::keyPressEvent(QKeyEvent* event)
{
    if (event == QKeySequence::Copy) {
        Copy();
        return;
    }
    if (event == QKeySequence::SelectAll) {
        SelectAll();
        return;
    }
    const bool extend = event->modifiers() & Qt::ShiftModifier;
    const bool wholeText = event->modifiers() & Qt::ControlModifier;
    const qsizetype line = LineOf(caret_);
    const qsizetype start = LineStart(line);
    const qsizetype column = std::min(caret_ - start, LineLength(line));
    const auto toLine = [&](qsizetype target) {
        target = std::clamp<qsizetype>(target, 0, LineCount() - 1);
        return LineStart(target) + std::min(column, LineLength(target));
    };
    switch (event->key()) {
    case Qt::Key_Left:
        // Stepping back over a line break skips both its characters.
        MoveCaret(caret_ == start && line > 0 ? start - 2 : caret_ - 1, extend);
        break;
    case Qt::Key_Right:
        MoveCaret(column == LineLength(line) && line + 1 < LineCount() ? LineStart(line + 1) : caret_ + 1, extend);
        break;
    case Qt::Key_Up:
        MoveCaret(toLine(line - 1), extend);
        break;
    case Qt::Key_Down:
        MoveCaret(toLine(line + 1), extend);
        break;
    case Qt::Key_PageUp:
        MoveCaret(toLine(line - VisibleRows()), extend);
        break;
    case Qt::Key_PageDown:
        MoveCaret(toLine(line + VisibleRows()), extend);
        break;
    case Qt::Key_Home:
        MoveCaret(wholeText ? 0 : start, extend);
        break;
    case Qt::Key_End:
        MoveCaret(wholeText ? TextLength() : start + LineLength(line), extend);
        // A return to the end follows again, also beside a selection.
        following_ = following_ || AtEnd();
        break;
    default:
        QAbstractScrollArea::keyPressEvent(event);
    }
}

