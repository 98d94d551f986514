#include "PortsDirectory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace devsim {

PortsDirectory::~PortsDirectory()
{
    cleanUp();
}

bool PortsDirectory::open(const QString &path, QString *error)
{
    if (path.isEmpty()) {
        m_temporary = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/wendale-ports-XXXXXX"));
        if (!m_temporary->isValid()) {
            *error = QStringLiteral("cannot create a temporary directory: %1").arg(m_temporary->errorString());
            return false;
        }
        m_path = m_temporary->path();
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
        m_madeDirectory = true;
    }
    m_path = QFileInfo(path).absoluteFilePath();
    return true;
}

bool PortsDirectory::link(const QString &name, const QString &target, QString *error)
{
    const QString entry = m_path + QLatin1Char('/') + name;
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
    m_links.emplace_back(entry, target);
    return true;
}

void PortsDirectory::cleanUp()
{
    // A link that someone else has since replaced is theirs.
    for (const auto &[entry, target] : m_links) {
        if (QFileInfo(entry).symLinkTarget() == target)
            QFile::remove(entry);
    }
    m_links.clear();
    if (m_madeDirectory)
        QDir().rmdir(m_path);
    m_madeDirectory = false;
    m_temporary.reset();
}

}
