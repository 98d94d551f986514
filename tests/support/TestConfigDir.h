#pragma once

#include "support/ScopedVariable.h"

#include <QFile>
#include <QTemporaryDir>

// A configuration folder of the test's own ($XDG_CONFIG_HOME) while the
// object lives, so that no window test sees another's choices.
class TestConfigDir {
    QTemporaryDir dir_;
    ScopedVariable variable_{"XDG_CONFIG_HOME", QFile::encodeName(dir_.path())};
};
