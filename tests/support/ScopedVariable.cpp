#include "support/ScopedVariable.h"

#include <QtGlobal>

ScopedVariable::ScopedVariable(const char* name, const QByteArray& value)
    : name_(name)
    , previous_(qgetenv(name))
    , hadPrevious_(qEnvironmentVariableIsSet(name))
{
    qputenv(name_, value);
}

ScopedVariable::~ScopedVariable()
{
    if (hadPrevious_)
        qputenv(name_, previous_);
    else
        qunsetenv(name_);
}
