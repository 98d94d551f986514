#include "app/monitor/ReceiveView.h"

#include "app/monitor/ControlPictures.h"
#include "monitor/NotationText.h"
#include "monitor/ShownCharacters.h"
#include "app/monitor/SteadyScrollBar.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QIODevice>
#include <QKeyEvent>
#include <QMenu>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextLayout>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

// The dimmer colour of the control pictures: three parts of the text's
// colour to two of the background's, so the small pictures stay visible.
QColor DimmedColour(const QColor& text, const QColor& background)
{
    const auto mix = [](int a, int b) { return (3 * a + 2 * b) / 5; };
    return QColor(mix(text.red(), background.red()), mix(text.green(), background.green()),
                  mix(text.blue(), background.blue()));
}

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

ReceiveView::ReceiveView(QWidget* parent)
    : QAbstractScrollArea(parent)
{
    QFont boxFont(QStringLiteral("Courier New"));
    boxFont.setPointSizeF(8.25);
    boxFont.setStyleHint(QFont::TypeWriter);
    boxFont.setWeight(QFont::Normal);
    setFont(boxFont);
    setFocusPolicy(Qt::StrongFocus);
    setVerticalScrollBar(new SteadyScrollBar(Qt::Vertical));
    setHorizontalScrollBar(new SteadyScrollBar(Qt::Horizontal));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    viewport()->setCursor(Qt::IBeamCursor);
    // Every paint fills what it covers, so moved rows need no background.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    // The box and its scroll bars paint their own background: what lies
    // under them (the group box, a box hidden beneath) is not painted again
    // each time they change.
    setAutoFillBackground(true);
    verticalScrollBar()->setAutoFillBackground(true);
    horizontalScrollBar()->setAutoFillBackground(true);
    frameTimer_.setSingleShot(true);
    connect(&frameTimer_, &QTimer::timeout, this, &ReceiveView::PaintFrame);
    // Both bars are always shown, so a new range needs no new layout; the
    // layout the scroll area runs on every range change repaints both bars,
    // which costs more than the frame's text.
    disconnect(verticalScrollBar(), &QScrollBar::rangeChanged, this, nullptr);
    disconnect(horizontalScrollBar(), &QScrollBar::rangeChanged, this, nullptr);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &ReceiveView::OnUserScroll);
    UpdateMetrics();
    UpdateScrollBars();
}

ReceiveView::~ReceiveView() = default;

void ReceiveView::Show(const NotationText* text)
{
    source_ = text;
    local_.clear();
    localStarts_.clear();
    longest_ = source_ ? source_->LongestLine() : 0;
    anchor_ = caret_ = shownSize_ = TextLength();
    shownLines_ = LineCount();
    following_ = true;
    UpdateScrollBars();
    EnsureCaretVisible();
    RepaintAll();
}

void ReceiveView::ShowGrown(const NotationText* text)
{
    if (text != source_ || !local_.isEmpty() || !text) {
        Show(text);
        return;
    }
    // The line that was last may have grown; the lines above it stand.
    RepaintFromLine(shownLines_ - 1);
    longest_ = source_->LongestLine();
    shownSize_ = TextLength();
    shownLines_ = LineCount();
    if (following_ && !dragging_)
        anchor_ = caret_ = shownSize_;
    // The scroll bars follow once a frame, not once a tick.
    grownPending_ = true;
}

void ReceiveView::AppendLocalText(const QByteArray& text)
{
    local_ += text;
    IndexLocalText();
    anchor_ = caret_ = shownSize_ = TextLength();
    shownLines_ = LineCount();
    following_ = true;
    UpdateScrollBars();
    EnsureCaretVisible();
    RepaintAll();
}

QByteArray ReceiveView::Text() const
{
    return Slice(0, TextLength());
}

bool ReceiveView::WriteText(QIODevice& device) const
{
    constexpr qsizetype Block = 1 << 20;
    for (qsizetype from = 0; from < TextLength(); from += Block) {
        const QByteArray block = Slice(from, std::min(TextLength(), from + Block));
        if (device.write(block) != block.size())
            return false;
    }
    return true;
}

qsizetype ReceiveView::TextLength() const
{
    return SourceSize() + local_.size();
}

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

qsizetype ReceiveView::SourceSize() const
{
    return source_ ? source_->Size() : 0;
}

qsizetype ReceiveView::LineCount() const
{
    return (source_ ? source_->LineCount() : 1) + qsizetype(localStarts_.size());
}

qsizetype ReceiveView::LineStart(qsizetype line) const
{
    const qsizetype sourceLines = source_ ? source_->LineCount() : 1;
    if (line < sourceLines)
        return source_ ? source_->LineStart(line) : 0;
    return SourceSize() + localStarts_[size_t(line - sourceLines)];
}

qsizetype ReceiveView::LineLength(qsizetype line) const
{
    const qsizetype end = line + 1 < LineCount() ? LineStart(line + 1) - 2 : TextLength();
    return end - LineStart(line);
}

qsizetype ReceiveView::LineOf(qsizetype offset) const
{
    const qsizetype inLocal = offset - SourceSize();
    if (!localStarts_.empty() && inLocal >= localStarts_.front()) {
        const auto after = std::upper_bound(localStarts_.begin(), localStarts_.end(), inLocal);
        return (source_ ? source_->LineCount() : 1) + (after - localStarts_.begin()) - 1;
    }
    return source_ ? source_->LineOf(offset) : 0;
}

QByteArray ReceiveView::Slice(qsizetype from, qsizetype to) const
{
    const qsizetype sourceSize = SourceSize();
    QByteArray slice;
    if (from < sourceSize)
        slice = source_->Slice(from, std::min(to, sourceSize));
    if (to > sourceSize) {
        const qsizetype localFrom = std::max(from, sourceSize) - sourceSize;
        slice.append(local_.constData() + localFrom, to - sourceSize - localFrom);
    }
    return slice;
}

void ReceiveView::IndexLocalText()
{
    localStarts_.clear();
    const qsizetype sourceSize = SourceSize();
    const char beforeLocal = sourceSize > 0 ? source_->Slice(sourceSize - 1, sourceSize).front() : '\0';
    for (qsizetype at = 0; at < local_.size(); ++at) {
        const char previous = at > 0 ? local_[at - 1] : beforeLocal;
        if (local_[at] == '\n' && previous == '\r')
            localStarts_.push_back(at + 1);
    }
    longest_ = source_ ? source_->LongestLine() : 0;
    for (qsizetype line = LineOf(SourceSize()); line < LineCount(); ++line)
        longest_ = std::max(longest_, LineLength(line));
}

int ReceiveView::VisibleRows() const
{
    return std::max(1, viewport()->height() / lineHeight_);
}

int ReceiveView::VisibleColumns() const
{
    return std::max(1, int(viewport()->width() / columnWidth_));
}

void ReceiveView::UpdateMetrics()
{
    const QFontMetricsF metrics(font());
    columnWidth_ = std::max<qreal>(1, metrics.horizontalAdvance(QLatin1Char('M')));
    lineHeight_ = std::max(1, int(std::ceil(metrics.lineSpacing())));
    ascent_ = int(std::ceil(metrics.ascent()));
    UpdateGlyphs();
}

void ReceiveView::UpdateGlyphs()
{
    fonts_.assign(1, QRawFont::fromFont(font()));
    const auto fontIndex = [this](const QRawFont& raw) {
        const auto found = std::find(fonts_.begin(), fonts_.end(), raw);
        if (found != fonts_.end())
            return int(found - fonts_.begin());
        fonts_.push_back(raw);
        return int(fonts_.size()) - 1;
    };
    for (int byte = 0; byte < 256; ++byte) {
        Glyph& glyph = glyphs_[size_t(byte)];
        glyph = Glyph{0, -1, shownchars::Dimmed(uchar(byte)), ControlPictures::Has(uchar(byte))};
        if (byte == ' ' || glyph.picture)
            continue;
        const QString shown(QChar(shownchars::ShownCharacter(uchar(byte))));
        if (fonts_.front().supportsCharacter(shown.front())) {
            glyph.index = fonts_.front().glyphIndexesForString(shown).value(0);
            glyph.font = 0;
            continue;
        }
        // What the box's font lacks comes from the font the text engine falls back to.
        QTextLayout layout(shown, font());
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        const QList<QGlyphRun> runs = layout.glyphRuns();
        const quint32 index = runs.isEmpty() ? 0 : runs.front().glyphIndexes().value(0);
        if (index != 0) {
            glyph.index = index;
            glyph.font = fontIndex(runs.front().rawFont());
        }
    }
    runs_.assign(fonts_.size() * 4, Run{});
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

bool ReceiveView::AtEnd() const
{
    return verticalScrollBar()->value() == verticalScrollBar()->maximum();
}

void ReceiveView::OnUserScroll()
{
    if (!ownScroll_)
        following_ = AtEnd();
}

qsizetype ReceiveView::OffsetAt(const QPoint& point) const
{
    const qsizetype row = qsizetype(std::floor(qreal(point.y()) / lineHeight_));
    const qsizetype line = std::clamp<qsizetype>(verticalScrollBar()->value() + row, 0, LineCount() - 1);
    const qsizetype column = std::max<qsizetype>(
        0, horizontalScrollBar()->value() + qsizetype(std::lround(point.x() / columnWidth_)));
    return LineStart(line) + std::min(column, LineLength(line));
}

void ReceiveView::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    const QPalette& colors = palette();
    const QRect area = event->rect();
    // Filled in strips: Qt hands a fill of more than about 96 pixel rows to
    // its thread pool and waits for it, which costs more than the fill.
    constexpr int Strip = 64;
    for (int y = area.top(); y <= area.bottom(); y += Strip)
        painter.fillRect(QRect(area.left(), y, area.width(), std::min(Strip, area.bottom() + 1 - y)),
                         colors.color(QPalette::Base));

    const qsizetype firstLine = verticalScrollBar()->value();
    const qsizetype firstColumn = horizontalScrollBar()->value();
    const qsizetype columns = VisibleColumns() + 1;
    const qsizetype lines = LineCount();
    const qsizetype selectionStart = std::min(anchor_, caret_);
    const qsizetype selectionEnd = std::max(anchor_, caret_);

    for (Run& run : runs_) {
        run.indexes.clear();
        run.positions.clear();
    }
    for (const int selected : {0, 1}) {
        boxes_[selected].clear();
        pictureSpots_[selected].clear();
    }
    const qsizetype lastRow = std::min<qsizetype>(VisibleRows(), area.bottom() / lineHeight_);
    for (qsizetype row = area.top() / lineHeight_; row <= lastRow && firstLine + row < lines; ++row) {
        const qsizetype line = firstLine + row;
        const qsizetype start = LineStart(line);
        const qsizetype length = LineLength(line);
        const int top = int(row) * lineHeight_;
        const qsizetype from = start + std::min(firstColumn, length);
        const qsizetype to = start + std::min(firstColumn + columns, length);

        // A selected line break shows as one selected column after the line.
        const qsizetype lineEnd = start + length;
        if (line + 1 < lines && selectionStart <= lineEnd && selectionEnd > lineEnd
            && lineEnd - start >= firstColumn) {
            const qreal x = qreal(lineEnd - start - firstColumn) * columnWidth_;
            painter.fillRect(QRectF(x, top, columnWidth_, lineHeight_), colors.color(QPalette::Highlight));
        }
        const qsizetype selectedFrom = std::clamp(selectionStart - from, qsizetype(0), to - from);
        const qsizetype selectedTo = std::clamp(selectionEnd - from, qsizetype(0), to - from);
        const qreal left = qreal(from - start - firstColumn) * columnWidth_;
        if (selectedFrom < selectedTo)
            painter.fillRect(QRectF(left + qreal(selectedFrom) * columnWidth_, top,
                                    qreal(selectedTo - selectedFrom) * columnWidth_, lineHeight_),
                             colors.color(QPalette::Highlight));
        AddRowGlyphs(Slice(from, to), QPointF(left, top + ascent_), selectedFrom, selectedTo);
    }
    DrawGlyphs(painter);

    const qsizetype caretRow = LineOf(caret_) - firstLine;
    if (hasFocus() && caretRow >= 0 && caretRow <= lastRow) {
        const qreal x = qreal(caret_ - LineStart(firstLine + caretRow) - firstColumn) * columnWidth_;
        const int top = int(caretRow) * lineHeight_;
        painter.setPen(colors.color(QPalette::Text));
        painter.drawLine(QPointF(x, top), QPointF(x, top + lineHeight_ - 1));
    }
}

void ReceiveView::AddRowGlyphs(const QByteArray& slice, QPointF origin, qsizetype selectedFrom, qsizetype selectedTo)
{
    for (qsizetype at = 0; at < slice.size(); ++at) {
        const uchar byte = uchar(slice[at]);
        const Glyph& glyph = glyphs_[byte];
        const bool selected = at >= selectedFrom && at < selectedTo;
        const qreal x = origin.x() + qreal(at) * columnWidth_;
        if (glyph.picture) {
            const QSizeF cell(std::ceil(columnWidth_), lineHeight_);
            const QPointF centre(x + cell.width() / 2, origin.y() - ascent_ + cell.height() / 2);
            const QRectF source(QPointF(ControlPictures::Index(byte) * cell.width(), 0), cell);
            pictureSpots_[selected].append(QPainter::PixmapFragment::create(centre, source));
        } else if (glyph.font >= 0) {
            Run& run = runs_[size_t(glyph.font * 4 + (selected ? 2 : 0) + (glyph.dimmed ? 1 : 0))];
            run.indexes.append(glyph.index);
            run.positions.append(QPointF(x, origin.y()));
        } else if (byte != ' ') {
            // No font at hand has the character: a small box stands for it.
            boxes_[selected].append(QRectF(x + columnWidth_ * 0.2, origin.y() - ascent_ + lineHeight_ * 0.3,
                                           columnWidth_ * 0.6, lineHeight_ * 0.45));
        }
    }
}

void ReceiveView::DrawGlyphs(QPainter& painter)
{
    // One call per font and colour for the whole paint, not one per character.
    const QPalette& colors = palette();
    const QColor text = colors.color(QPalette::Text);
    const QColor selected = colors.color(QPalette::HighlightedText);
    const QColor pens[4] = {text, DimmedColour(text, colors.color(QPalette::Base)), selected,
                            DimmedColour(selected, colors.color(QPalette::Highlight))};
    for (size_t at = 0; at < runs_.size(); ++at) {
        const Run& run = runs_[at];
        if (run.indexes.isEmpty())
            continue;
        QGlyphRun glyphs;
        glyphs.setRawFont(fonts_[at / 4]);
        glyphs.setGlyphIndexes(run.indexes);
        glyphs.setPositions(run.positions);
        painter.setPen(pens[at % 4]);
        painter.drawGlyphRun(QPointF(), glyphs);
    }
    for (const int selected : {0, 1}) {
        const QColor& pen = pens[selected * 2 + 1];
        painter.setPen(pen);
        painter.drawRects(boxes_[selected]);
        if (pictureSpots_[selected].isEmpty())
            continue;
        const QSize cell(int(std::ceil(columnWidth_)), lineHeight_);
        std::unique_ptr<ControlPictures>& pictures = pictures_[selected];
        if (!pictures || pictures->Colour() != pen || pictures->Cell() != cell)
            pictures = std::make_unique<ControlPictures>(cell, pen);
        painter.drawPixmapFragments(pictureSpots_[selected].constData(), int(pictureSpots_[selected].size()),
                                    pictures->Atlas());
    }
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

void ReceiveView::changeEvent(QEvent* event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        UpdateMetrics();
        UpdateScrollBars();
        RepaintAll();
    }
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
        break;
    default:
        QAbstractScrollArea::keyPressEvent(event);
    }
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

void ReceiveView::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    RepaintAll();
}

void ReceiveView::focusOutEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusOutEvent(event);
    RepaintAll();
}

void ReceiveView::scrollContentsBy(int dx, int dy)
{
    if (dx != 0)
        RepaintAll();
    scrolledRows_ += dy;
    ScheduleFrame();
}

void ReceiveView::RepaintAll()
{
    repaintAll_ = true;
    ScheduleFrame();
}

void ReceiveView::RepaintFromLine(qsizetype line)
{
    repaintFromLine_ = repaintFromLine_ < 0 ? line : std::min(repaintFromLine_, line);
    ScheduleFrame();
}

void ReceiveView::ScheduleFrame()
{
    // About 30 frames a second: smooth to the eye, and each frame costs the
    // same however few bytes it adds.
    constexpr qint64 FrameMs = 33;
    if (frameTimer_.isActive())
        return;
    const qint64 since = sinceFrame_.isValid() ? sinceFrame_.elapsed() : FrameMs;
    frameTimer_.start(int(std::max<qint64>(0, FrameMs - since)));
}

void ReceiveView::PaintFrame()
{
    if (grownPending_) {
        grownPending_ = false;
        UpdateScrollBars();
        if (following_ && !dragging_)
            EnsureCaretVisible();
        frameTimer_.stop(); // the rows this moved are painted now, not in a frame of their own
    }
    sinceFrame_.start();
    QWidget* area = viewport();
    const int rows = VisibleRows();
    // Painted at once rather than left pending, so that a later frame never
    // moves rows that wait to be painted.
    if (!repaintAll_ && std::abs(scrolledRows_) < rows) {
        // Rows already drawn move with the view; what they uncover and the
        // rows that changed are painted.
        if (scrolledRows_ != 0)
            area->scroll(0, scrolledRows_ * lineHeight_);
        if (repaintFromLine_ >= 0) {
            const qsizetype row = std::max<qsizetype>(0, repaintFromLine_ - verticalScrollBar()->value());
            if (row <= rows)
                area->repaint(QRect(0, int(row) * lineHeight_, area->width(), area->height()));
        }
    } else {
        area->repaint();
    }
    repaintAll_ = false;
    repaintFromLine_ = -1;
    scrolledRows_ = 0;
}
