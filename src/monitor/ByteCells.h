#pragma once

#include <array>

// Each byte's binary cell (eight digits) and hexadecimal cell (two digits and a space).
struct ByteCells {
    std::array<std::array<char, 8>, 256> bin;
    std::array<std::array<char, 3>, 256> hex;

    static const ByteCells& Table();

private:
    ByteCells();
};
