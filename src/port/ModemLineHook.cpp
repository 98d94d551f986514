#include "port/EmulatedLines.h"

#include <QHash>
#include <atomic>
#include <mutex>

namespace win32::testhook {

namespace {

struct EmulatedPort {
    DWORD inputLines = 0;
    DWORD inputErrors = 0;
    std::vector<LineEvent> history;
};

struct Registry {
    std::mutex mutex;
    QHash<QString, EmulatedPort> ports; // by upper-case COM name
    std::atomic<bool> any = false;      // read without the lock: every tick asks
    int strayCloses = 0;
};

Registry& TheRegistry()
{
    static Registry value;
    return value;
}

QString Key(const QString& comName)
{
    return comName.toUpper();
}

}

void EmulateModemLines(const QString& comName)
{
    auto& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    r.ports.insert(Key(comName), EmulatedPort{});
    r.any = true;
}

void SetInputLines(const QString& comName, DWORD modemStatus)
{
    auto& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    if (auto it = r.ports.find(Key(comName)); it != r.ports.end())
        it->inputLines = modemStatus;
}

std::vector<LineEvent> LineHistory(const QString& comName)
{
    auto& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    return r.ports.value(Key(comName)).history;
}

void ClearLineHistory(const QString& comName)
{
    auto& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    if (auto it = r.ports.find(Key(comName)); it != r.ports.end())
        it->history.clear();
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
    return r.ports.contains(Key(comName));
}

void RecordLineEvent(const QString& comName, LineEvent::Kind kind, bool on)
{
    auto& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    if (auto it = r.ports.find(Key(comName)); it != r.ports.end())
        it->history.push_back({kind, on, std::chrono::steady_clock::now()});
}

DWORD EmulatedInputLines(const QString& comName)
{
    auto& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    const auto it = r.ports.constFind(Key(comName));
    return it == r.ports.cend() ? 0 : it->inputLines;
}

void AddInputErrors(const QString& comName, DWORD errors)
{
    auto& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    if (auto it = r.ports.find(Key(comName)); it != r.ports.end())
        it->inputErrors |= errors;
}

DWORD TakeInputErrors(const QString& comName)
{
    auto& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    auto it = r.ports.find(Key(comName));
    return it == r.ports.end() ? 0 : std::exchange(it->inputErrors, 0);
}

void RecordStrayClose()
{
    auto& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    ++r.strayCloses;
}

}
