#include "support/TestPortsDir.h"

#include <QFile>

bool TestPortsDir::link(int comNumber, const QString& target)
{
    remove(comNumber);
    return QFile::link(target, entry(comNumber));
}

bool TestPortsDir::remove(int comNumber)
{
    return QFile::remove(entry(comNumber));
}

QString TestPortsDir::entry(int comNumber) const
{
    return dir_.filePath(QStringLiteral("COM%1").arg(comNumber));
}
