#include "ByteLog.h"

namespace devsim {

void ByteLog::append(const QByteArray &bytes)
{
    const auto now = std::chrono::steady_clock::now();
    std::lock_guard lock(m_mutex);
    m_chunks.push_back({now, bytes});
    m_size += bytes.size();
}

QByteArray ByteLog::bytes() const
{
    std::lock_guard lock(m_mutex);
    QByteArray all;
    all.reserve(m_size);
    for (const Chunk &chunk : m_chunks)
        all += chunk.bytes;
    return all;
}

std::vector<ByteLog::Chunk> ByteLog::chunks() const
{
    std::lock_guard lock(m_mutex);
    return m_chunks;
}

qsizetype ByteLog::size() const
{
    std::lock_guard lock(m_mutex);
    return m_size;
}

void ByteLog::clear()
{
    std::lock_guard lock(m_mutex);
    m_chunks.clear();
    m_size = 0;
}

}
