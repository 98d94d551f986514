#pragma once

#include <QAbstractScrollArea>
#include <QByteArray>
#include <QElapsedTimer>
#include <QGlyphRun>
#include <QPainter>
#include <QRawFont>
#include <QTimer>
#include <array>
#include <memory>
#include <vector>

class ControlPictures;
class ShownText;
class QIODevice;
class QMenu;

// Read-only view of a received text. It paints the visible rows and columns
// straight from the text it is shown, without copying it; CR LF breaks a line
// and every other byte takes one column, control bytes as their control
// pictures in a dimmer colour (ControlPictures.h, ShownCharacters.h).
// Painting waits for the next frame, about 30 a second, 10 while each
// frame's new lines replace every row shown: when new lines push the view
// up, the rows already drawn are moved and only the rows that changed are
// painted.
// The view follows the newest line only while it is scrolled to the end and
// nothing is selected: scrolled back, or holding a selection, it stays where
// the user put it while the text grows. Scrolling to the end, End or
// Ctrl+End follow again, also beside a selection that is not being dragged
// (after Select All); that selection stays while the view follows.
class ReceiveView : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit ReceiveView(QWidget* parent = nullptr);
    ~ReceiveView() override;

    // Rewrites the box from text (nullptr: empty) and puts the caret at the
    // end. The text is read in place: it must stay alive while shown, and
    // after changing it the owner shows it again.
    void Show(const ShownText* text);
    // For a text that has only grown at its end since it was shown: the
    // lines above the last one are not painted again, and the scroll bars
    // follow in the next frame. While the view follows, the same as Show;
    // otherwise the view and the selection stay.
    void ShowGrown(const ShownText* text);
    bool Following() const { return following_; }
    // The receive tick calls this as it ends: a frame then due is painted in
    // the tick's own wake-up.
    void TickEnded();
    // Text written straight into the box; it stays until the box is next rewritten.
    void AppendLocalText(const QByteArray& text);
    // What the box shows.
    QByteArray Text() const;
    // Writes what the box shows to device, a block at a time; false when a write failed.
    bool WriteText(QIODevice& device) const;
    qsizetype TextLength() const;

    // The characters [from, to) of what the box shows.
    QByteArray Slice(qsizetype from, qsizetype to) const;

    qsizetype CaretPosition() const { return caret_; }
    qsizetype AnchorPosition() const { return anchor_; }
    // Selects from anchor to caret (text offsets, clamped) and scrolls to the caret.
    void Select(qsizetype anchor, qsizetype caret);
    QByteArray SelectedText() const;
    void Copy() const;
    void SelectAll();
    // The context menu: "&Copy" and "Select &All".
    std::unique_ptr<QMenu> CreateContextMenu();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    // The shown text is the source followed by the local text.
    qsizetype SourceSize() const;
    qsizetype LineCount() const;
    qsizetype LineStart(qsizetype line) const;
    qsizetype LineLength(qsizetype line) const;
    qsizetype LineOf(qsizetype offset) const;
    void IndexLocalText();
    // The whole text shown anew: the caret at its end, following.
    void ShowFromTheEnd();

    int VisibleRows() const;
    int VisibleColumns() const;
    void UpdateMetrics();
    void UpdateGlyphs();
    // Adds the row's characters to the glyph runs, by font and colour; colour
    // is the line's (ShownText::LineColour).
    void AddRowGlyphs(const QByteArray& slice, QPointF origin, qsizetype selectedFrom, qsizetype selectedTo, int colour);
    void DrawGlyphs(QPainter& painter);
    // Painting is asked for here and done once a frame.
    void RepaintAll();
    void RepaintFromLine(qsizetype line);
    void ScheduleFrame();
    void PaintFrame();
    void UpdateScrollBars();
    void EnsureCaretVisible();
    // Shows the newest line: the caret's, or the last one beside a selection.
    void ShowEnd();
    void MoveCaret(qsizetype offset, bool extend);
    bool AtEnd() const;
    qsizetype OffsetAt(const QPoint& point) const;

    const ShownText* source_ = nullptr;
    QByteArray local_;
    std::vector<qsizetype> localStarts_; // line starts inside local_
    qsizetype longest_ = 0;
    qsizetype anchor_ = 0;
    qsizetype caret_ = 0;
    qsizetype shownSize_ = 0; // the text's length when last shown
    qsizetype shownLines_ = 1; // its line count then
    bool following_ = true;
    bool dragging_ = false;   // a mouse selection is under way
    bool ownScroll_ = false;  // the view moves itself, not the user
    qreal columnWidth_ = 1;
    int lineHeight_ = 1;
    int ascent_ = 0;

    // How each byte is drawn: a control picture, or a glyph of one of fonts_
    // (font -1: a blank, or a box where no font has the character), and
    // whether it is dimmed.
    struct Glyph {
        quint32 index = 0;
        int font = -1;
        bool dimmed = false;
        bool picture = false;
    };
    std::array<Glyph, 256> glyphs_;
    std::vector<QRawFont> fonts_;
    // Glyphs of one paint, one run per line colour, font and colour: plain,
    // dimmed, selected, selected and dimmed.
    struct Run {
        QList<quint32> indexes;
        QList<QPointF> positions;
    };
    std::vector<Run> runs_;
    QList<QRectF> boxes_[2]; // characters no font has, unselected and selected
    // The control pictures, unselected and selected, and where a paint puts them.
    std::unique_ptr<ControlPictures> pictures_[2];
    QList<QPainter::PixmapFragment> pictureSpots_[2];

    QTimer frameTimer_;
    QElapsedTimer sinceFrame_;
    QElapsedTimer sinceTick_;
    bool repaintAll_ = false;
    qsizetype repaintFromLine_ = -1; // -1: no rows changed
    int scrolledRows_ = 0;           // rows the view moved since the last frame
    bool grownPending_ = false;      // grown text: the scroll bars catch up in the next frame
    bool streamingPast_ = false;     // the last frame's new lines replaced every row shown
};
