#include "port/LineSettings.h"

// Only the kernel's terminal headers here: glibc's <termios.h> defines a
// struct termios of its own that lacks the termios2 speed fields.
#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <cstdlib>

namespace serialdevice {

namespace {

tcflag_t SizeFlag(int dataBits)
{
    switch (dataBits) {
    case 5: return CS5;
    case 6: return CS6;
    case 7: return CS7;
    default: return CS8;
    }
}

int DataBitsOf(tcflag_t cflag)
{
    switch (cflag & CSIZE) {
    case CS5: return 5;
    case CS6: return 6;
    case CS7: return 7;
    default: return 8;
    }
}

tcflag_t ParityFlags(Parity parity)
{
    switch (parity) {
    case Parity::None: return 0;
    case Parity::Odd: return PARENB | PARODD;
    case Parity::Even: return PARENB;
    case Parity::Mark: return PARENB | CMSPAR | PARODD;
    case Parity::Space: return PARENB | CMSPAR;
    }
    return 0;
}

Parity ParityOf(tcflag_t cflag)
{
    if (!(cflag & PARENB))
        return Parity::None;
    if (cflag & CMSPAR)
        return (cflag & PARODD) ? Parity::Mark : Parity::Space;
    return (cflag & PARODD) ? Parity::Odd : Parity::Even;
}

bool GetTermios(int fd, termios2& tio)
{
    return ioctl(fd, TCGETS2, &tio) == 0;
}

bool SetTermios(int fd, const termios2& tio)
{
    return ioctl(fd, TCSETS2, &tio) == 0;
}

}

bool LineSettings::SameFraming(const LineSettings& other) const
{
    // Drivers round the rate to what their clock divides to; a UART
    // receiver tolerates a few percent, so only more than that is refused.
    const auto diff = std::llabs(int64_t(bitRate) - int64_t(other.bitRate));
    return diff * 100 <= int64_t(bitRate) * 3 && dataBits == other.dataBits
        && parity == other.parity && extraStopBit == other.extraStopBit && rtsCts == other.rtsCts;
}

bool MakeRaw(int fd)
{
    termios2 tio{};
    if (!GetTermios(fd, tio))
        return false;
    tio.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF
                     | IXANY | INPCK | IUCLC | IMAXBEL);
    tio.c_oflag &= ~OPOST;
    tio.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    tio.c_cflag &= ~(CSIZE | PARENB);
    tio.c_cflag |= CS8 | CREAD | CLOCAL;
    // VMIN 1 keeps "no data yet" (EAGAIN) apart from "hung up" (0) on
    // non-blocking reads; with VMIN 0 both read as 0.
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    return SetTermios(fd, tio);
}

bool ReadLineSettings(int fd, LineSettings& settings)
{
    termios2 tio{};
    if (!GetTermios(fd, tio))
        return false;
    settings.bitRate = tio.c_ospeed;
    settings.dataBits = DataBitsOf(tio.c_cflag);
    settings.parity = ParityOf(tio.c_cflag);
    settings.extraStopBit = tio.c_cflag & CSTOPB;
    settings.parityCheck = tio.c_iflag & INPCK;
    settings.rtsCts = tio.c_cflag & CRTSCTS;
    settings.xonXoffOut = tio.c_iflag & IXON;
    settings.xonXoffIn = tio.c_iflag & IXOFF;
    settings.xonChar = char(tio.c_cc[VSTART]);
    settings.xoffChar = char(tio.c_cc[VSTOP]);
    return true;
}

bool WriteLineSettings(int fd, const LineSettings& settings)
{
    termios2 tio{};
    if (!GetTermios(fd, tio))
        return false;
    tio.c_cflag &= ~(CBAUD | CIBAUD | CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    tio.c_cflag |= BOTHER | SizeFlag(settings.dataBits) | ParityFlags(settings.parity);
    if (settings.extraStopBit)
        tio.c_cflag |= CSTOPB;
    if (settings.rtsCts)
        tio.c_cflag |= CRTSCTS;
    tio.c_ispeed = tio.c_ospeed = settings.bitRate;
    tio.c_iflag &= ~(INPCK | IXON | IXOFF);
    if (settings.parityCheck)
        tio.c_iflag |= INPCK;
    if (settings.xonXoffOut)
        tio.c_iflag |= IXON;
    if (settings.xonXoffIn)
        tio.c_iflag |= IXOFF;
    tio.c_cc[VSTART] = cc_t(settings.xonChar);
    tio.c_cc[VSTOP] = cc_t(settings.xoffChar);
    return SetTermios(fd, tio);
}

}
