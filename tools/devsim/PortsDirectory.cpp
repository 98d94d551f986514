#include "devsim/PortsDirectory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace devsim {

PortsDirectory::~PortsDirectory()
{
    CleanUp();
}

bool PortsDirectory::Open(const QString& path, QString* error)
{
    if (path.isEmpty()) {
        temporary_ = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/wendale-ports-XXXXXX"));
        if (!temporary_->isValid()) {
            *error = QStringLiteral("cannot create a temporary directory: %1").arg(temporary_->errorString());
            return false;
        }
        path_ = temporary_->path();
        return true;
    }
    const QFileInfo info(path);
    if (info.exists() && !info.isDir()) {
        *error = QStringLiteral("%1 exists and is not a directory").arg(path);
        return false;
    }
    if (!info.exists()) {
        if (!QDir().mkpath(path)) {
            *error = QStringLiteral("cannot create the directory %1").arg(path);
            return false;
        }
        madeDirectory_ = true;
    }
    path_ = QFileInfo(path).absoluteFilePath();
    return true;
}

bool PortsDirectory::Link(const QString& name, const QString& target, QString* error)
{
    const QString entry = path_ + QLatin1Char('/') + name;
    const QFileInfo existing(entry);
    if (existing.isSymLink()) {
        if (!QFile::remove(entry)) {
            *error = QStringLiteral("cannot replace the link %1").arg(entry);
            return false;
        }
    } else if (existing.exists()) {
        *error = QStringLiteral("%1 exists and is not a link; leaving it alone").arg(entry);
        return false;
    }
    if (!QFile::link(target, entry)) {
        *error = QStringLiteral("cannot make the link %1").arg(entry);
        return false;
    }
    links_.emplace_back(entry, target);
    return true;
}

void PortsDirectory::CleanUp()
{
    // A link that someone else has since replaced is theirs.
    for (const auto& [entry, target] : links_) {
        if (QFileInfo(entry).symLinkTarget() == target)
            QFile::remove(entry);
    }
    links_.clear();
    if (madeDirectory_)
        QDir().rmdir(path_);
    madeDirectory_ = false;
    temporary_.reset();
}

}
