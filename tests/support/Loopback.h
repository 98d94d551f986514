#pragma once

#include <QtGlobal>

// A socket listening on 127.0.0.1 on a port the system chose; -1 on failure.
int ListenOnLoopback(quint16& port);
// A port on 127.0.0.1 that nothing listens on now.
quint16 FreeTcpPort();
