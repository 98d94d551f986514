#include "app/PortWatcher.h"

#include "port/ComNames.h"

#include <QFile>
#include <QFileInfo>

namespace {
constexpr int SettleMs = 250;
}

PortWatcher::PortWatcher(QObject* parent)
    : QObject(parent)
{
    settle_.setSingleShot(true);
    settle_.setInterval(SettleMs);
    connect(&settle_, &QTimer::timeout, this, &PortWatcher::Changed);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, [this] {
        if (!settle_.isActive())
            settle_.start();
    });
    for (const QString& directory : {QStringLiteral("/dev"), QFile::decodeName(comnames::PortsDirectory())})
        if (QFileInfo(directory).isDir())
            watcher_.addPath(directory);
}
