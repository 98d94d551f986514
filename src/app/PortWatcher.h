#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>

// Tells when serial ports may have come or gone: the kernel reports entries
// made or removed in /dev (an adapter plugged in or pulled) and in the ports
// directory (a link added or removed). Nothing is polled and no device is
// opened. A burst of changes, as a device's node and links appear one after
// another, is told once, a moment after it began. While the ports directory
// does not exist (not made yet, or removed to be made again) the nearest
// folder above it is watched for its return, and then the directory again.
class PortWatcher : public QObject {
    Q_OBJECT

public:
    explicit PortWatcher(QObject* parent = nullptr);

signals:
    void Changed();

private:
    // Watches the ports directory if it is there, else the nearest folder above it.
    void Arm();

    QFileSystemWatcher watcher_;
    QTimer settle_;
    const QString portsDirectory_;
    QString watched_; // the ports directory or the folder above it that stands in for it
};
