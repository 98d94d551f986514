#include "app/ManualLocation.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace modZEMO {

namespace {

const QString IndexPage = QStringLiteral("index.html");

HelpOpeners& OpenersSlot()
{
    static HelpOpeners openers;
    return openers;
}

}

QString InstalledManualFile()
{
    const QDir bin(QCoreApplication::applicationDirPath());
    return QDir::cleanPath(bin.filePath(QStringLiteral(WENDALE_INSTALLED_HELP_DIR "/") + IndexPage));
}

QString ManualFile()
{
    for (const QString& candidate :
         {InstalledManualFile(), QDir(QStringLiteral(WENDALE_SOURCE_HELP_DIR)).filePath(IndexPage)}) {
        if (QFileInfo(candidate).isFile())
            return candidate;
    }
    return {};
}

bool StartHelpViewer(const QString& program, const QStringList& arguments)
{
    if (const auto& start = OpenersSlot().startViewer)
        return start(program, arguments);
    return QProcess::startDetached(program, arguments);
}

bool OpenInBrowser(const QUrl& url)
{
    if (const auto& open = OpenersSlot().openInBrowser)
        return open(url);
    return QDesktopServices::openUrl(url);
}

HelpOpeners SetHelpOpeners(HelpOpeners openers)
{
    return std::exchange(OpenersSlot(), std::move(openers));
}

}
