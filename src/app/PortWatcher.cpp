#include "app/PortWatcher.h"

#include "port/ComNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr int SettleMs = 250;

QString NearestFolder(QString path)
{
    while (!QFileInfo(path).isDir() && path != QDir::rootPath())
        path = QFileInfo(path).path();
    return path;
}

}

PortWatcher::PortWatcher(QObject* parent)
    : QObject(parent)
    , portsDirectory_(QDir::cleanPath(QFile::decodeName(comnames::PortsDirectory())))
{
    settle_.setSingleShot(true);
    settle_.setInterval(SettleMs);
    connect(&settle_, &QTimer::timeout, this, &PortWatcher::Changed);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, [this] {
        Arm();
        if (!settle_.isActive())
            settle_.start();
    });
    watcher_.addPath(QStringLiteral("/dev"));
    Arm();
}

void PortWatcher::Arm()
{
    // A watch whose directory has gone is dropped by the watcher itself.
    QString wanted = NearestFolder(portsDirectory_);
    while (!watcher_.directories().contains(wanted)) {
        if (!watched_.isEmpty() && watched_ != wanted && watched_ != QStringLiteral("/dev"))
            watcher_.removePath(watched_);
        watched_ = wanted;
        // Refused for a folder that is there: the system has no watches left.
        if (!watcher_.addPath(wanted) && QFileInfo(wanted).isDir())
            return;
        // The directory may have come or gone while the watch was set.
        wanted = NearestFolder(portsDirectory_);
    }
}
