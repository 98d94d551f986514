#include "app/ManualLocation.h"
#include "app/MsgBox.h"
#include "app/Version.h"
#include "app/MainForm.h"
#include "app/frmMain.h"
#include "port/ModZemoPorts.h"

#include <QDir>
#include <QTimer>

void MainForm::FileExitMenu_Click()
{
    window_.close();
}

void MainForm::Form_Unload()
{
    // The window object outlives its closing: no poll runs after it, also
    // where a failed connect left the poll running.
    Timer1->stop();
    SaveChoicesAtClose();
    // Ports a disconnect already closed stay closed: nothing is closed twice.
    if (!PortIsOpen)
        return;
    EndBreak();
    CloseOpenPorts();
    PortIsOpen = false;
}

void MainForm::HelpContentMenu_Click()
{
    if (modZEMO::StartHelpViewer(QStringLiteral("hh.exe"), {QStringLiteral("zemo.chm")}))
        return;
    // No help viewer here (the usual case on Linux): the manual that comes with the program.
    const QString manual = modZEMO::ManualFile();
    if (manual.isEmpty()) {
        modZEMO::MsgBox(tr("The manual is not installed. It belongs in\r\n%1")
                            .arg(QDir::toNativeSeparators(modZEMO::InstalledManualFile())),
                        modZEMO::MsgInformation);
        return;
    }
    if (!modZEMO::OpenInBrowser(QUrl::fromLocalFile(manual)))
        modZEMO::MsgBox(tr("No web browser could be started. The manual is the file\r\n%1")
                            .arg(QDir::toNativeSeparators(manual)),
                        modZEMO::MsgInformation);
}

void MainForm::HelpAboutMenu_Click()
{
    const QStringList lines{
        QStringLiteral("Wendale v") + modZEMO::VersionString,
        // Only addresses that exist: the licence's, and the manual that comes with the program.
        QStringLiteral("Licence: GPL-3.0-or-later, https://www.gnu.org/licenses/gpl-3.0.html"),
        QStringLiteral("Manual: ") + QUrl::fromLocalFile(modZEMO::ManualFile().isEmpty() ? modZEMO::InstalledManualFile()
                                                                                          : modZEMO::ManualFile())
                                          .toString(),
        tr("Written by the Wendale project"),
        tr(" mail to: none yet, please see the manual"),
        tr(" Telephone: none, please write"),
    };
    modZEMO::MsgBox(lines.join(QStringLiteral("\r\n")), modZEMO::MsgInformation, QStringLiteral("ZEMO"));
}
