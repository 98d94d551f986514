#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <sys/types.h>

// The POSIX side of an open serial device: open with exclusive use, raw
// byte transfer that notices a device that has gone, and the modem lines.
namespace serialdevice {

// Opens path read-write, non-blocking and in raw mode, and takes it for this
// handle alone (flock, which also holds against root, and TIOCEXCL). Returns
// the descriptor, or -1 with errno saying why (ENOTTY: no terminal;
// EBUSY or EWOULDBLOCK: in use).
int OpenExclusive(const char* path);
void CloseExclusive(int fd);

// Pseudo-terminals have no line hardware: they force 8 data bits without
// parity whatever is set, and have no modem lines.
bool IsPseudoTerminal(int fd);
// By device number, for a node that is not open: pseudo-terminal slaves have
// no entry in sysfs.
bool IsPtySlave(dev_t device);

// Bytes that have arrived, without waiting (0 when none); nullopt when the
// device has hung up or failed.
std::optional<size_t> ReadAvailable(int fd, void* buffer, size_t size);
// Waits up to timeoutMs (-1: no limit) for a byte; false on hang-up.
bool WaitReadable(int fd, int timeoutMs);

enum class WriteResult { Done, Failed, Stalled };
// Writes every byte, waiting while the driver's queue is full. Stalled when
// the driver took nothing for stallMs or overallMs ran out (nullopt: no limit).
WriteResult WriteAll(int fd, const void* data, size_t size, std::optional<int> stallMs,
                     std::optional<int> overallMs, size_t& written);
// One non-blocking write of a descriptor: the bytes taken, or -1 with errno.
using WriteSome = std::function<ssize_t(const char* data, size_t size)>;
// The same over any non-blocking descriptor (a socket), written through writeSome.
WriteResult WriteAll(int fd, const WriteSome& writeSome, const void* data, size_t size,
                     std::optional<int> stallMs, std::optional<int> overallMs, size_t& written);

// What the program drives: the two output lines, and the data line held in
// the break state (spacing) while on.
enum class ModemLine { Dtr, Rts, Break };
bool SetModemLine(int fd, ModemLine line, bool on);
struct InputLines {
    bool cts = false;
    bool dsr = false;
    bool ring = false;
    bool carrier = false;
};
// nullopt when the device has no modem lines.
std::optional<InputLines> ReadInputLines(int fd);

// The driver's counts of received bytes it lost: to the UART's overruns and
// to its own full buffer. nullopt when the driver keeps none.
struct LossCounts {
    uint64_t overrun = 0;
    uint64_t bufferOverrun = 0;
};
std::optional<LossCounts> ReadLossCounts(int fd);

// Bytes written but not yet sent by the driver; 0 when it cannot tell.
uint32_t QueuedOutput(int fd);

}
