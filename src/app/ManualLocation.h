#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>

// Where the program's own manual lives, and the two ways help is opened: the
// help viewer as a separate process, and the desktop's web browser. Both
// openers can be replaced, so that tests start no process and no browser.
namespace modZEMO {

// index.html of the installed manual (next to the program, in
// <bin>/../share/wendale/help) or, for a run from the build tree, of the
// source tree's help/. Empty when neither exists.
QString ManualFile();
// Where an installed program looks for its manual.
QString InstalledManualFile();

struct HelpOpeners {
    // Starts program without waiting for it; false when it could not be started.
    std::function<bool(const QString& program, const QStringList& arguments)> startViewer;
    // Shows url in the desktop's browser; false when no browser took it.
    std::function<bool(const QUrl& url)> openInBrowser;
};

bool StartHelpViewer(const QString& program, const QStringList& arguments);
bool OpenInBrowser(const QUrl& url);
// Empty members restore the real openers. Returns the previous ones.
HelpOpeners SetHelpOpeners(HelpOpeners openers);

}
