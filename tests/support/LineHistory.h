#pragma once

#include "port/ModemLineHook.h"

#include <QList>
#include <QPair>
#include <QString>

// Views of the modem-line hook's history of an emulated port.

using LineChange = QPair<win32::testhook::LineEvent::Kind, bool>;
// Each change of DTR or RTS with its new state, and each close (false), in order.
QList<LineChange> LineChanges(const QString& comName);
int ClosedCount(const QString& comName);
