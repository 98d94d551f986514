#include "app/monitor/ReceiveView.h"

#include "app/monitor/ControlPictures.h"
#include "monitor/ShownText.h"
#include "app/monitor/SteadyScrollBar.h"

#include <QIODevice>
#include <QScrollBar>

#include <algorithm>

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
    UpdateMetrics();
    UpdateScrollBars();
}

ReceiveView::~ReceiveView() = default;

void ReceiveView::Show(const ShownText* text)
{
    source_ = text;
    local_.clear();
    localStarts_.clear();
    longest_ = source_ ? source_->LongestLine() : 0;
    ShowFromTheEnd();
}

void ReceiveView::ShowGrown(const ShownText* text)
{
    if (text != source_ || !local_.isEmpty() || !text) {
        Show(text);
        return;
    }
    // The line that was last may have grown; the lines above it stand.
    const qsizetype changedFrom = shownLines_ - 1;
    longest_ = source_->LongestLine();
    shownSize_ = TextLength();
    shownLines_ = LineCount();
    if (following_ && !dragging_ && anchor_ == caret_)
        anchor_ = caret_ = shownSize_;
    // The scroll bars follow once a frame, not once a tick. Asked for last,
    // as a frame due now is painted at once and must see the caret moved.
    grownPending_ = true;
    RepaintFromLine(changedFrom);
}

void ReceiveView::AppendLocalText(const QByteArray& text)
{
    local_ += text;
    IndexLocalText();
    ShowFromTheEnd();
}

void ReceiveView::ShowFromTheEnd()
{
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
