// Preloaded into phone tools that insist on driving modem lines: a
// pseudo-terminal has none, so where the kernel refuses TIOCMGET/TIOCMSET/
// TIOCMBIS/TIOCMBIC on a terminal, this answers them from lines kept here
// (CTS, DSR and DCD up, as a modem that is switched on shows them).
// Every other call goes to the real ioctl.

#include <cstdarg>
#include <dlfcn.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

int lines = TIOCM_CTS | TIOCM_DSR | TIOCM_CD;

using IoctlFunction = int (*)(int, unsigned long, ...);

IoctlFunction RealIoctl()
{
    static const auto real = reinterpret_cast<IoctlFunction>(dlsym(RTLD_NEXT, "ioctl"));
    return real;
}

bool IsModemLineRequest(unsigned long request)
{
    return request == TIOCMGET || request == TIOCMSET || request == TIOCMBIS || request == TIOCMBIC;
}

}

extern "C" int ioctl(int fd, unsigned long request, ...)
{
    va_list args;
    va_start(args, request);
    void *argument = va_arg(args, void *);
    va_end(args);
    const int result = RealIoctl()(fd, request, argument);
    if (result == 0 || !IsModemLineRequest(request) || !isatty(fd) || argument == nullptr)
        return result;
    int &value = *static_cast<int *>(argument);
    switch (request) {
    case TIOCMGET: value = lines; break;
    case TIOCMSET: lines = value; break;
    case TIOCMBIS: lines |= value; break;
    case TIOCMBIC: lines &= ~value; break;
    }
    return 0;
}
