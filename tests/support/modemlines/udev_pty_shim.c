// Preloaded (LD_PRELOAD) into an outside terminal program that looks its port
// up in the device database (udev) and closes it when there is no entry.
// Pseudo-terminals have none, so a pseudo-terminal is looked up as the device
// they all come from, /dev/ptmx; every other lookup goes to the real one.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

typedef struct _GUdevClient GUdevClient;
typedef struct _GUdevDevice GUdevDevice;

// The slaves of /dev/ptmx have majors 136 to 143.
static int IsPseudoTerminal(const char* path)
{
    struct stat device;
    return path && stat(path, &device) == 0 && S_ISCHR(device.st_mode) && major(device.st_rdev) >= 136
        && major(device.st_rdev) <= 143;
}

GUdevDevice* g_udev_client_query_by_device_file(GUdevClient* client, const char* path)
{
    static GUdevDevice* (*real)(GUdevClient*, const char*);
    if (!real)
        real = (GUdevDevice * (*)(GUdevClient*, const char*)) dlsym(RTLD_NEXT, "g_udev_client_query_by_device_file");
    return real(client, IsPseudoTerminal(path) ? "/dev/ptmx" : path);
}
