#include "support/TestPortsDir.h"

#include <QFile>

namespace {
constexpr char Variable[] = "WENDALE_PORTS_DIR";
}

TestPortsDir::TestPortsDir()
    : previous_(qgetenv(Variable))
    , hadPrevious_(qEnvironmentVariableIsSet(Variable))
{
    if (dir_.isValid())
        qputenv(Variable, QFile::encodeName(dir_.path()));
}

TestPortsDir::~TestPortsDir()
{
    if (hadPrevious_)
        qputenv(Variable, previous_);
    else
        qunsetenv(Variable);
}

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
