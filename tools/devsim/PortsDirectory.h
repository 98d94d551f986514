#pragma once

#include <QString>
#include <QTemporaryDir>

#include <memory>
#include <utility>
#include <vector>

namespace devsim {

// The directory of COMn links that the program reads. Either a fresh
// temporary directory or one the user names; links are only ever made over
// earlier links, never over other files. Everything made here is removed
// again by cleanUp() or the destructor.
class PortsDirectory
{
public:
    PortsDirectory() = default;
    ~PortsDirectory();
    PortsDirectory(const PortsDirectory &) = delete;
    PortsDirectory &operator=(const PortsDirectory &) = delete;

    // An empty path asks for a temporary directory.
    bool open(const QString &path, QString *error);
    bool link(const QString &name, const QString &target, QString *error);
    QString path() const { return m_path; }
    void cleanUp();

private:
    std::unique_ptr<QTemporaryDir> m_temporary;
    QString m_path;
    bool m_madeDirectory = false;
    std::vector<std::pair<QString, QString>> m_links; // entry, target
};

}
