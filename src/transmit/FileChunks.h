#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace modZEMO {

// A file read front to back in pieces, holding no more than one window of
// it at a time however large it is. Only plain files are taken: a device or
// a directory has no end to send up to.
class FileChunks {
public:
    static constexpr qsizetype Window = 64 * 1024;

    // False, with why, when path is not a plain file or cannot be opened.
    bool Open(const QString& path, QString* why);
    qint64 Size() const { return size_; }
    qint64 Taken() const { return taken_; }
    bool AtEnd() const { return taken_ == size_; }

    // Up to count next bytes; empty, with why, when the file gave fewer
    // bytes than its size promised (it shrank or a read failed).
    QByteArray Take(qsizetype count, QString* why);

private:
    QFile file_;
    qint64 size_ = 0;
    qint64 taken_ = 0;
    QByteArray window_;
    qsizetype windowPos_ = 0;
};

}
