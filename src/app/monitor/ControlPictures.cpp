#include "app/monitor/ControlPictures.h"

#include "monitor/ShownCharacters.h"

#include <QPainter>

#include <algorithm>
#include <array>
#include <string_view>

namespace {

// The names the pictures U+2400 to U+2421 stand for.
constexpr std::array<std::string_view, 34> Names{
    "NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL", "BS",  "HT",  "LF",
    "VT",  "FF",  "CR",  "SO",  "SI",  "DLE", "DC1", "DC2", "DC3", "DC4", "NAK",
    "SYN", "ETB", "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US",  "SP",  "DEL"};

// Five rows of three dots for each character the names use.
std::string_view Dots(char c)
{
    switch (c) {
    case 'A': return ".#.#.#####.##.#";
    case 'B': return "##.#.###.#.###.";
    case 'C': return ".###..#..#...##";
    case 'D': return "##.#.##.##.###.";
    case 'E': return "####..##.#..###";
    case 'F': return "####..##.#..#..";
    case 'G': return ".###..#.##.#.##";
    case 'H': return "#.##.#####.##.#";
    case 'I': return "###.#..#..#.###";
    case 'K': return "#.##.###.#.##.#";
    case 'L': return "#..#..#..#..###";
    case 'M': return "#.########.##.#";
    case 'N': return "##.#.##.##.##.#";
    case 'O': return ".#.#.##.##.#.#.";
    case 'P': return "##.#.###.#..#..";
    case 'Q': return ".#.#.##.###..##";
    case 'R': return "##.#.###.#.##.#";
    case 'S': return ".###...#...###.";
    case 'T': return "###.#..#..#..#.";
    case 'U': return "#.##.##.##.####";
    case 'V': return "#.##.##.##.#.#.";
    case 'X': return "#.##.#.#.#.##.#";
    case 'Y': return "#.##.#.#..#..#.";
    case '1': return ".#.##..#..#.###";
    case '2': return "##...#.#.#..###";
    case '3': return "##...#.#...###.";
    case '4': return "#.##.####..#..#";
    default: return "";
    }
}

}

ControlPictures::ControlPictures(QSize cell, const QColor& colour)
    : cell_(cell)
    , colour_(colour)
{
    QImage atlas(cell.width() * int(Names.size()), cell.height(), QImage::Format_ARGB32_Premultiplied);
    atlas.fill(Qt::transparent);
    // Dots of one pixel at the usual sizes, larger dots for larger fonts.
    const int dot = std::max(1, cell.height() / 13);
    const int top = std::max(0, (cell.height() - 11 * dot) / 2);
    QPainter painter(&atlas);
    for (size_t index = 0; index < Names.size(); ++index) {
        const std::string_view name = Names[index];
        const int left = int(index) * cell.width();
        for (size_t at = 0; at < name.size(); ++at) {
            // Two letters over one, or one over one standing to the right.
            const bool second = name.size() == 2 ? at == 1 : at == 2;
            const int x = left + (second || (at == 1 && name.size() == 3) ? 4 * dot : 0);
            const int y = top + (second ? 6 * dot : 0);
            const std::string_view dots = Dots(name[at]);
            for (size_t d = 0; d < dots.size(); ++d)
                if (dots[d] == '#')
                    painter.fillRect(x + int(d % 3) * dot, y + int(d / 3) * dot, dot, dot, colour);
        }
    }
    painter.end();
    atlas_ = QPixmap::fromImage(atlas);
}

int ControlPictures::Index(uchar byte)
{
    return shownchars::ShownCharacter(byte) - 0x2400;
}
