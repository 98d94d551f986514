#pragma once

#include "port/Deadline.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

// A TCP connection made without ever waiting past a deadline: the name is
// looked up on a thread of its own (a resolver can take far longer than the
// caller may wait) and the connect does not block.
namespace remoteport {

// The connected socket, non-blocking and close-on-exec, with keepalive and a
// limit on unacknowledged data so that a network gone quiet for good makes
// its reads and writes fail; -1 with problem set when no connection came
// about before the deadline.
int ConnectTcp(const QByteArray& host, uint16_t port, serialdevice::Clock::time_point deadline, QString& problem);

}
