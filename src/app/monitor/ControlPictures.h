#pragma once

#include <QColor>
#include <QPixmap>
#include <QSize>

// The control pictures (U+2400-U+241F, U+2421) of the bytes 00-1F and 7F as
// the received-data box draws them: the letters of the control's name (NUL,
// BEL, ESC, DEL...) in a pixel font three dots wide, the first two over the
// last, so that each can be read in one column of a small monospace font,
// where the fonts' own control pictures are unreadable scribbles.
class ControlPictures {
public:
    // Each picture fills a cell of that size, drawn in colour.
    ControlPictures(QSize cell, const QColor& colour);

    static bool Has(uchar byte) { return byte < 0x20 || byte == 0x7F; }
    // The pictures of U+2400 to U+2421 side by side, and the cell of byte's picture in it.
    const QPixmap& Atlas() const { return atlas_; }
    static int Index(uchar byte);
    QColor Colour() const { return colour_; }
    QSize Cell() const { return cell_; }

private:
    QSize cell_;
    QColor colour_;
    QPixmap atlas_;
};
