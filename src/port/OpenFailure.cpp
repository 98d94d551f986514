#include "port/OpenFailure.h"

#include <QFile>
#include <cerrno>

namespace openfailure {

namespace {

QString& LastReason()
{
    static QString value;
    return value;
}

QString Why(int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
        return QStringLiteral("permission denied: add yourself to the dialout group "
                              "(sudo adduser $USER dialout) and log in again");
    case EBUSY:
    case EWOULDBLOCK:
        return QStringLiteral("in use by another program");
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case EIO:
        return QStringLiteral("the device is gone");
    case ENOTTY:
        return QStringLiteral("not a serial port");
    default:
        return qt_error_string(error);
    }
}

}

QString Describe(const QByteArray& device, int error)
{
    return QFile::decodeName(device) + QStringLiteral(": ") + Why(error);
}

QString Last()
{
    return LastReason();
}

void Remember(const QString& reason)
{
    LastReason() = reason;
}

}
