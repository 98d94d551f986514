#pragma once

#include <QByteArray>

#include <chrono>
#include <mutex>
#include <vector>

namespace devsim {

// A thread-safe record of bytes as they passed, one time stamp per chunk.
class ByteLog {
public:
    struct Chunk {
        std::chrono::steady_clock::time_point at;
        QByteArray bytes;
    };

    void Append(const QByteArray& bytes);
    QByteArray Bytes() const;
    std::vector<Chunk> Chunks() const;
    qsizetype Size() const;
    void Clear();

private:
    mutable std::mutex mutex_;
    std::vector<Chunk> chunks_;
    qsizetype size_ = 0;
};

}
