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
// again by CleanUp() or the destructor.
class PortsDirectory {
public:
    PortsDirectory() = default;
    ~PortsDirectory();
    PortsDirectory(const PortsDirectory&) = delete;
    PortsDirectory& operator=(const PortsDirectory&) = delete;

    // An empty path asks for a temporary directory.
    bool Open(const QString& path, QString* error);
    bool Link(const QString& name, const QString& target, QString* error);
    QString Path() const { return path_; }
    void CleanUp();

private:
    std::unique_ptr<QTemporaryDir> temporary_;
    QString path_;
    bool madeDirectory_ = false;
    std::vector<std::pair<QString, QString>> links_; // entry, target
};

}
