#pragma once

#include <QByteArray>

#include <chrono>
#include <mutex>
#include <vector>

namespace devsim {

// A thread-safe record of bytes as they passed, one time stamp per chunk.
class ByteLog
{
public:
    struct Chunk
    {
        std::chrono::steady_clock::time_point at;
        QByteArray bytes;
    };

    void append(const QByteArray &bytes);
    QByteArray bytes() const;
    std::vector<Chunk> chunks() const;
    qsizetype size() const;
    void clear();

private:
    mutable std::mutex m_mutex;
    std::vector<Chunk> m_chunks;
    qsizetype m_size = 0;
};

}
