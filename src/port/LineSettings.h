#pragma once

#include <cstdint>

// Line settings of an open serial device, read and written through the
// kernel's termios2 ioctls (any bit rate, exactly). Kept free of the termios
// headers so that callers never see the clash between glibc's and the kernel's.
namespace serialdevice {

enum class Parity { None, Odd, Even, Mark, Space };

struct LineSettings {
    uint32_t bitRate = 9600;
    int dataBits = 8;           // 5 to 8
    Parity parity = Parity::None;
    bool extraStopBit = false;  // 2 stop bits, or 1.5 with 5 data bits
    bool parityCheck = false;
    bool rtsCts = false;
    bool xonXoffOut = false;
    bool xonXoffIn = false;
    char xonChar = 0x11;
    char xoffChar = 0x13;

    // What a driver must keep for the settings to count as taken.
    bool SameFraming(const LineSettings& other) const;
};

// Raw mode: no echo, no line editing, no character translation, modem
// control lines ignored for reception; a read waits for no byte count.
bool MakeRaw(int fd);
bool ReadLineSettings(int fd, LineSettings& settings);
bool WriteLineSettings(int fd, const LineSettings& settings);

}
