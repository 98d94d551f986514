#include "port/EmulatedLines.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <utility>
#include <vector>

namespace win32::testhook {

namespace {

struct EmulatedPort {
    QString comName;
    DWORD inputLines = 0;
    DWORD inputErrors = 0;
    std::vector<LineEvent> history;
};

struct Registry {
    std::mutex mutex;
    std::vector<EmulatedPort> ports;
    std::atomic<bool> any = false; // read without the lock: every tick asks
    int strayCloses = 0;
};

Registry& TheRegistry()
{
    static Registry value;
    return value;
}

// The port of that COM name, in any case; nullptr when its lines are real.
// A few ports at most, compared without allocating: every tick asks.
EmulatedPort* Find(Registry& r, const QString& comName)
{
    const auto it = std::find_if(r.ports.begin(), r.ports.end(), [&](const EmulatedPort& port) {
        return port.comName.compare(comName, Qt::CaseInsensitive) == 0;
    });
    return it == r.ports.end() ? nullptr : &*it;
}

}

void EmulateModemLines(const QString& comName)
{
    auto& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    if (EmulatedPort* port = Find(r, comName))
        *port = EmulatedPort{comName};
    else
        r.ports.push_back(EmulatedPort{comName});
    r.any = true;
}

void SetInputLines(const QString& comName, DWORD modemStatus)
{
    auto& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    if (EmulatedPort* port = Find(r, comName))
        port->inputLines = modemStatus;
}

std::vector<LineEvent> LineHistory(const QString& comName)
{
    auto& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    const EmulatedPort* port = Find(r, comName);
    return port ? port->history : std::vector<LineEvent>();
}

void ClearLineHistory(const QString& comName)
{
    auto& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    if (EmulatedPort* port = Find(r, comName))
        port->history.clear();
}

void StopEmulating()
{
    auto& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    r.ports.clear();
    r.any = false;
    r.strayCloses = 0;
}

int StrayCloses()
{
    auto& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    return r.strayCloses;
}

bool LinesEmulated(const QString& comName)
{
    auto& r = TheRegistry();
    if (!r.any)
        return false;
    std::lock_guard lock(r.mutex);
    return Find(r, comName) != nullptr;
}

void RecordLineEvent(const QString& comName, LineEvent::Kind kind, bool on)
{
    auto& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    if (EmulatedPort* port = Find(r, comName))
        port->history.push_back({kind, on, std::chrono::steady_clock::now()});
}

DWORD EmulatedInputLines(const QString& comName)
{
    auto& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    const EmulatedPort* port = Find(r, comName);
    return port ? port->inputLines : 0;
}

void AddInputErrors(const QString& comName, DWORD errors)
{
    auto& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    if (EmulatedPort* port = Find(r, comName))
        port->inputErrors |= errors;
}

DWORD TakeInputErrors(const QString& comName)
{
    auto& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    EmulatedPort* port = Find(r, comName);
    return port ? std::exchange(port->inputErrors, 0) : 0;
}

void RecordStrayClose()
{
    auto& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    ++r.strayCloses;
}

}
