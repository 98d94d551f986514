#pragma once

#include <QByteArray>
#include <QString>

// Why a port could not be opened, in words for the user: the device and what
// to do about it. The open of the port layer keeps the reason of its last
// failure for the window to show beside its message.
namespace openfailure {

// error is the errno of the failed open (ENOTTY: the device is no serial port).
QString Describe(const QByteArray& device, int error);

// The reason of the last port open that failed; empty after one that succeeded.
QString Last();
void Remember(const QString& reason);

}
