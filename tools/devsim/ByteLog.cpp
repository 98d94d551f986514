#include "devsim/ByteLog.h"

namespace devsim {

void ByteLog::Append(const QByteArray& bytes)
{
    const auto now = std::chrono::steady_clock::now();
    std::lock_guard lock(mutex_);
    chunks_.push_back({now, bytes});
    size_ += bytes.size();
}

QByteArray ByteLog::Bytes() const
{
    std::lock_guard lock(mutex_);
    QByteArray all;
    all.reserve(size_);
    for (const Chunk& chunk : chunks_)
        all += chunk.bytes;
    return all;
}

std::vector<ByteLog::Chunk> ByteLog::Chunks() const
{
    std::lock_guard lock(mutex_);
    return chunks_;
}

qsizetype ByteLog::Size() const
{
    std::lock_guard lock(mutex_);
    return size_;
}

void ByteLog::Clear()
{
    std::lock_guard lock(mutex_);
    chunks_.clear();
    size_ = 0;
}

}
