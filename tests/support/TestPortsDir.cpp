#include "support/TestPortsDir.h"

#include <QFile>

bool TestPortsDir::Link(int comNumber, const QString& target)
{
    Remove(comNumber);
    return QFile::link(target, Entry(comNumber));
}

bool TestPortsDir::Remove(int comNumber)
{
    return QFile::remove(Entry(comNumber));
}

QString TestPortsDir::Entry(int comNumber) const
{
    return dir_.filePath(QStringLiteral("COM%1").arg(comNumber));
}
