#include "app/monitor/ReceiveView.h"

#include "app/monitor/ControlPictures.h"
#include "monitor/ShownCharacters.h"
#include "monitor/ShownText.h"

#include <QFontMetricsF>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// The dimmer colour of the control pictures: three parts of the text's
// colour to two of the background's, so the small pictures stay visible.
QColor DimmedColour(const QColor& text, const QColor& background)
{
    const auto mix = [](int a, int b) { return (3 * a + 2 * b) / 5; };
    return QColor(mix(text.red(), background.red()), mix(text.green(), background.green()),
                  mix(text.blue(), background.blue()));
}

// The line colours of a timeline after the box's own: the first port's
// bytes, the second port's, what was sent, modem line changes.
constexpr int LineColours = 5;
const QColor TimelineColours[LineColours - 1] = {QColor(0, 0, 0), QColor(0, 0, 200), QColor(170, 0, 0),
                                                  QColor(0, 110, 0)};

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
    runs_.assign(fonts_.size() * 4 * LineColours, Run{});
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
        const int colour = source_ && line < source_->LineCount() ? source_->LineColour(line) : 0;
        AddRowGlyphs(Slice(from, to), QPointF(left, top + ascent_), selectedFrom, selectedTo, colour);
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

void ReceiveView::AddRowGlyphs(const QByteArray& slice, QPointF origin, qsizetype selectedFrom, qsizetype selectedTo,
                                int colour)
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
            const size_t font = size_t(colour) * fonts_.size() + size_t(glyph.font);
            Run& run = runs_[font * 4 + (selected ? 2 : 0) + (glyph.dimmed ? 1 : 0)];
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
        glyphs.setRawFont(fonts_[at / 4 % fonts_.size()]);
        glyphs.setGlyphIndexes(run.indexes);
        glyphs.setPositions(run.positions);
        const size_t colour = at / 4 / fonts_.size();
        painter.setPen(colour == 0 || at % 4 != 0 ? pens[at % 4] : TimelineColours[colour - 1]);
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

void ReceiveView::RepaintAll()
{
    streamingPast_ = false; // what the user does shows at the usual pace
    repaintAll_ = true;
    ScheduleFrame();
}

void ReceiveView::RepaintFromLine(qsizetype line)
{
    repaintFromLine_ = repaintFromLine_ < 0 ? line : std::min(repaintFromLine_, line);
    ScheduleFrame();
}

namespace {

// About 30 frames a second: smooth to the eye, and each frame costs the same
// however few bytes it adds.
constexpr qint64 FrameMs = 33;
constexpr qint64 TickMs = 10;

}

void ReceiveView::ScheduleFrame()
{
    // While each frame's new lines replace every row shown, no eye reads
    // them go by: ten frames a second show just as much.
    const qint64 frameMs = streamingPast_ ? 3 * FrameMs : FrameMs;
    // A frame due before the next receive tick could ask for it is painted
    // now, in the wake-up that asked.
    const qint64 wait = frameMs - (sinceFrame_.isValid() ? sinceFrame_.elapsed() : frameMs);
    if (wait <= TickMs) {
        frameTimer_.stop();
        PaintFrame();
        return;
    }
    // While ticks come, one of them paints the frame (TickEnded) and the
    // timer, a tick later, only stands in should they stop: so a stream of
    // data wakes the program once a tick, not once more a frame.
    const bool ticking = sinceTick_.isValid() && sinceTick_.elapsed() <= 2 * TickMs;
    const int due = int(wait + (ticking ? TickMs : 0));
    if (!frameTimer_.isActive() || frameTimer_.remainingTime() > due)
        frameTimer_.start(due);
}

void ReceiveView::TickEnded()
{
    sinceTick_.start();
    if (frameTimer_.isActive())
        ScheduleFrame();
}

void ReceiveView::PaintFrame()
{
    // First, so that what this frame moves asks for the next frame, not for this one again.
    sinceFrame_.start();
    const bool grown = grownPending_;
    if (grownPending_) {
        grownPending_ = false;
        UpdateScrollBars();
        if (following_ && !dragging_)
            ShowEnd();
        frameTimer_.stop(); // the rows this moved are painted now, not in a frame of their own
    }
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
    streamingPast_ = grown && following_ && std::abs(scrolledRows_) >= rows;
    repaintAll_ = false;
    repaintFromLine_ = -1;
    scrolledRows_ = 0;
}
