#include "monitor/ByteStore.h"

#include <algorithm>
#include <cstring>

void ByteStore::Append(QByteArrayView data)
{
    qsizetype done = 0;
    while (done < data.size()) {
        const qsizetype within = size_ & BlockMask;
        if (within == 0 && size_ >> BlockBits == qsizetype(blocks_.size()))
            blocks_.push_back(std::make_unique_for_overwrite<char[]>(size_t(BlockSize)));
        const qsizetype count = std::min(BlockSize - within, data.size() - done);
        std::memcpy(blocks_[size_t(size_ >> BlockBits)].get() + within, data.data() + done, size_t(count));
        size_ += count;
        done += count;
    }
}

void ByteStore::CopyTo(qsizetype from, qsizetype to, char* out) const
{
    while (from < to) {
        const qsizetype within = from & BlockMask;
        const qsizetype count = std::min(BlockSize - within, to - from);
        std::memcpy(out, blocks_[size_t(from >> BlockBits)].get() + within, size_t(count));
        out += count;
        from += count;
    }
}

void ByteStore::Clear()
{
    std::vector<std::unique_ptr<char[]>>().swap(blocks_);
    size_ = 0;
}
