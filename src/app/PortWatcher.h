#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

// Tells when serial ports may have come or gone: the kernel reports entries
// made or removed in /dev (an adapter plugged in or pulled) and in the ports
// directory (a link added or removed). Nothing is polled and no device is
// opened. A burst of changes, as a device's node and links appear one after
// another, is told once, a moment after it began. A ports directory that
// does not exist when the window starts is not watched.
class PortWatcher : public QObject {
    Q_OBJECT

public:
    explicit PortWatcher(QObject* parent = nullptr);

signals:
    void Changed();

private:
    QFileSystemWatcher watcher_;
    QTimer settle_;
};
