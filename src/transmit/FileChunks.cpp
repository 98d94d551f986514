#include "transmit/FileChunks.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <algorithm>

namespace modZEMO {

bool FileChunks::Open(const QString& path, QString* why)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        *why = QCoreApplication::translate("FileChunks", "The file does not exist.");
        return false;
    }
    if (!info.isFile()) {
        *why = QCoreApplication::translate("FileChunks", "Only a plain file can be sent, not a folder or a device.");
        return false;
    }
    file_.setFileName(path);
    if (!file_.open(QIODevice::ReadOnly)) {
        *why = file_.errorString();
        return false;
    }
    size_ = file_.size();
    return true;
}

QByteArray FileChunks::Take(qsizetype count, QString* why)
{
    if (windowPos_ == window_.size()) {
        const qint64 wanted = std::min<qint64>(Window, size_ - taken_);
        window_ = file_.read(wanted);
        windowPos_ = 0;
        if (window_.size() < wanted) {
            *why = file_.error() != QFileDevice::NoError
                ? file_.errorString()
                : QCoreApplication::translate("FileChunks", "The file became shorter while it was sent.");
            window_.clear();
            return {};
        }
    }
    const qsizetype n = std::min(count, window_.size() - windowPos_);
    QByteArray piece = window_.mid(windowPos_, n);
    windowPos_ += n;
    taken_ += n;
    return piece;
}

}
