#pragma once

#include <QByteArrayView>
#include <QtGlobal>
#include <algorithm>
#include <memory>
#include <vector>

// Received bytes, one byte each, in blocks: appending never moves what is
// already stored, so a long capture grows without pauses.
class ByteStore {
public:
    qsizetype Size() const { return size_; }
    unsigned char At(qsizetype index) const
    {
        return uchar(blocks_[size_t(index >> BlockBits)][index & BlockMask]);
    }
    void Append(QByteArrayView data);
    // The bytes from index from on, up to to or the end of the block that
    // holds from: read in place.
    QByteArrayView Run(qsizetype from, qsizetype to) const
    {
        const qsizetype length = std::min(to, (from | BlockMask) + 1) - from;
        return {blocks_[size_t(from >> BlockBits)].get() + (from & BlockMask), length};
    }
    // Copies the bytes [from, to) to out.
    void CopyTo(qsizetype from, qsizetype to, char* out) const;
    // Empties the store and gives its memory back.
    void Clear();

private:
    static constexpr int BlockBits = 20;
    static constexpr qsizetype BlockSize = qsizetype(1) << BlockBits;
    static constexpr qsizetype BlockMask = BlockSize - 1;

    std::vector<std::unique_ptr<char[]>> blocks_;
    qsizetype size_ = 0;
};
