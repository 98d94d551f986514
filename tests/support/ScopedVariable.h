#pragma once

#include <QByteArray>

// An environment variable set to value while the object lives; its old value
// (or its absence) comes back afterwards.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const QByteArray& value);
    ~ScopedVariable();
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* name_;
    QByteArray previous_;
    bool hadPrevious_;
};
