#pragma once

#include "support/ScopedVariable.h"

#include <QFile>
#include <QString>
#include <QTemporaryDir>

// A ports directory of the test's own, in force ($WENDALE_PORTS_DIR) while
// the object lives; the variable's old value comes back afterwards.
class TestPortsDir {
public:
    QString Path() const { return dir_.path(); }
    // Makes COMn a symlink to target (replacing an earlier COMn).
    bool Link(int comNumber, const QString& target);
    bool Remove(int comNumber);

private:
    QString Entry(int comNumber) const;

    QTemporaryDir dir_;
    ScopedVariable variable_{"WENDALE_PORTS_DIR", QFile::encodeName(dir_.path())};
};
