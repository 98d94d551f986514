#pragma once

#include <QtGlobal>

// How the received-data box draws a byte of a character text. Only the
// drawing changes: the text itself, its length, copies and saved files keep
// the bytes.
namespace shownchars {

// 0x00-0x1F and 0x7F as their control pictures (U+2400-U+241F, U+2421),
// 0x80-0x9F as Windows-1252 has them, every other byte as itself (Latin-1).
char16_t ShownCharacter(uchar byte);
// Drawn in a dimmer colour: control bytes, and the five bytes Windows-1252
// leaves unassigned (drawn as U+FFFD).
bool Dimmed(uchar byte);

}
