#include "monitor/CaptureLog.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

bool CaptureLog::Open(const QString& path, QString& error)
{
    Close();
    path_ = path;
    if (ToStandardOutput()) {
        fd_ = STDOUT_FILENO;
        return true;
    }
    // Without O_NONBLOCK a pipe with no reader would hold the open (and the
    // window) until one comes.
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) {
        error = errno == ENXIO ? QStringLiteral("nothing is reading from the pipe") : qt_error_string(errno);
        return false;
    }
    // Written as a file is: a pipe's reader that is slow holds the writes back
    // rather than losing bytes.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    fd_ = fd;
    return true;
}

bool CaptureLog::Write(QByteArrayView bytes, QString& error)
{
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd_, bytes.data() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = qt_error_string(n < 0 ? errno : EIO);
            Close();
            return false;
        }
        done += n;
    }
    return true;
}

void CaptureLog::Close()
{
    if (fd_ >= 0 && !ToStandardOutput())
        ::close(fd_);
    fd_ = -1;
}

QString CaptureLog::BesidePath(const QString& path, const QString& portName)
{
    const QFileInfo info(path);
    const QString suffix = info.suffix();
    const QString base = info.fileName().chopped(suffix.isEmpty() ? 0 : suffix.size() + 1);
    const QString name = base + u'.' + portName + (suffix.isEmpty() ? QString() : u'.' + suffix);
    return path.chopped(info.fileName().size()) + name;
}
