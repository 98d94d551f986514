#include "app/MsgBox.h"
#include "app/Version.h"
#include "app/frmMain.h"
#include "port/ModZemoPorts.h"

#include <QProcess>

void frmMain::FileExitMenu_Click()
{
    close();
}

void frmMain::Form_Unload()
{
    if (!PortIsOpen)
        return;
    win32::CloseHandle(modZEMO::hCom);
    if (TwoPortMode)
        win32::CloseHandle(modZEMO::hCom2);
    PortIsOpen = false;
}

void frmMain::HelpContentMenu_Click()
{
    QProcess::startDetached(QStringLiteral("hh.exe"), {QStringLiteral("zemo.chm")});
}

void frmMain::HelpAboutMenu_Click()
{
    const QStringList lines{
        QStringLiteral("Wendale v") + modZEMO::VersionString,
        QStringLiteral("https://wendale.example.org"),
        QStringLiteral("https://wendale.example.org/manual"),
        QStringLiteral("Wendale project"),
        QStringLiteral(" mail to: wendale@example.org"),
        QStringLiteral(" tel: none"),
    };
    modZEMO::MsgBox(lines.join(QStringLiteral("\r\n")), modZEMO::MsgInformation, QStringLiteral("ZEMO"));
}
