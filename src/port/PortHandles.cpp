#include "port/PortHandles.h"

#include <algorithm>
#include <limits>
#include <mutex>
#include <unordered_map>

namespace win32::porthandles {

namespace {

struct Table {
    std::mutex mutex;
    // 0 stays unused: the program's handle variables start out as 0.
    HANDLE next = 1;
    std::unordered_map<HANDLE, OpenPort> entries;
};

Table& TheTable()
{
    static Table value;
    return value;
}

}

HANDLE Add(OpenPort port)
{
    auto& t = TheTable();
    std::lock_guard lock(t.mutex);
    if (t.next == std::numeric_limits<HANDLE>::max())
        return INVALID_HANDLE_VALUE;
    const HANDLE handle = t.next++;
    t.entries.emplace(handle, std::move(port));
    return handle;
}

OpenPort* Find(HANDLE handle)
{
    auto& t = TheTable();
    std::lock_guard lock(t.mutex);
    const auto it = t.entries.find(handle);
    return it == t.entries.end() ? nullptr : &it->second;
}

std::optional<OpenPort> Take(HANDLE handle)
{
    auto& t = TheTable();
    std::lock_guard lock(t.mutex);
    const auto it = t.entries.find(handle);
    if (it == t.entries.end())
        return std::nullopt;
    OpenPort port = std::move(it->second);
    t.entries.erase(it);
    return port;
}

bool RemoteOpen(const QByteArray& key)
{
    auto& t = TheTable();
    std::lock_guard lock(t.mutex);
    return std::any_of(t.entries.begin(), t.entries.end(),
                       [&](const auto& entry) { return entry.second.remote && entry.second.remote->address().Key() == key; });
}

}
