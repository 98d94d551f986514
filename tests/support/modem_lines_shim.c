// Preloaded (LD_PRELOAD) into an outside terminal program that is given a
// pseudo-terminal as its serial port. Pseudo-terminals have no modem lines, so
// their TIOCMGET, TIOCMSET, TIOCMBIS and TIOCMBIC fail, and a program that
// polls the lines closes the port. Here those four calls are answered on a
// pseudo-terminal from a line state kept here; every other call, and every
// call on another device, goes to the real ioctl.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <stdarg.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

// The slaves of /dev/ptmx have majors 136 to 143.
static int IsPseudoTerminal(int fd)
{
    struct stat device;
    return fstat(fd, &device) == 0 && S_ISCHR(device.st_mode) && major(device.st_rdev) >= 136
        && major(device.st_rdev) <= 143;
}

// Opening a port raises DTR and RTS; the device's lines read as present.
static int lines = TIOCM_DTR | TIOCM_RTS | TIOCM_CTS | TIOCM_DSR | TIOCM_CD;

// The lines a program may drive; the others are the device's.
static const int Driven = TIOCM_DTR | TIOCM_RTS;

int ioctl(int fd, unsigned long request, ...)
{
    va_list args;
    va_start(args, request);
    void* argument = va_arg(args, void*);
    va_end(args);

    const int modemCall = request == TIOCMGET || request == TIOCMSET || request == TIOCMBIS || request == TIOCMBIC;
    if (!modemCall || !IsPseudoTerminal(fd)) {
        static int (*real)(int, unsigned long, ...);
        if (!real)
            real = (int (*)(int, unsigned long, ...))dlsym(RTLD_NEXT, "ioctl");
        return real(fd, request, argument);
    }
    int* value = argument;
    if (!value) {
        errno = EFAULT;
        return -1;
    }
    if (request == TIOCMGET)
        *value = lines;
    else if (request == TIOCMSET)
        lines = (lines & ~Driven) | (*value & Driven);
    else if (request == TIOCMBIS)
        lines |= *value & Driven;
    else
        lines &= ~(*value & Driven);
    return 0;
}
