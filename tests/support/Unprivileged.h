#pragma once

#include <QByteArray>
#include <functional>

// Runs what in a child process without root's rights (as nobody when the test
// runs as root, since root opens whatever it likes) and returns what it
// returned: what an ordinary user would see.
QByteArray RunUnprivileged(const std::function<QByteArray()>& what);
