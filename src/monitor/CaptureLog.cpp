#include "monitor/CaptureLog.h"

#include <QFileInfo>

bool CaptureLog::Open(const QString& path, QString& error)
{
    file_.close();
    file_.setFileName(path);
    if (file_.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return true;
    error = file_.errorString();
    return false;
}

bool CaptureLog::Write(QByteArrayView bytes, QString& error)
{
    if (bytes.isEmpty() || file_.write(bytes.data(), bytes.size()) == bytes.size())
        return true;
    error = file_.errorString();
    return false;
}

QString CaptureLog::BesidePath(const QString& path, const QString& portName)
{
    const QFileInfo info(path);
    const QString suffix = info.suffix();
    const QString base = info.fileName().chopped(suffix.isEmpty() ? 0 : suffix.size() + 1);
    const QString name = base + u'.' + portName + (suffix.isEmpty() ? QString() : u'.' + suffix);
    return path.chopped(info.fileName().size()) + name;
}
