#include "app/MainForm.h"
#include "app/MsgBox.h"
#include "port/ModZemoPorts.h"

#include <QAction>
#include <QTimer>
#include <cerrno>

namespace {
// Long enough for a boot loader or a serial console's SysRq to see it.
constexpr int BreakMs = 250;
}

void MainForm::PortBreakMenu_Click()
{
    if (!PortIsOpen || breakOn_)
        return;
    errno = 0;
    if (!win32::EscapeCommFunction(modZEMO::hCom, win32::SETBREAK)) {
        const QString reason = errno ? qt_error_string(errno) : tr("The driver does not take it.");
        modZEMO::MsgBox(tr("The break could not be sent on %1.").arg(modZEMO::PortName), modZEMO::MsgCritical,
                        modZEMO::AppTitle, reason);
        return;
    }
    // The line is held without freezing the window; reception goes on.
    breakOn_ = true;
    PortBreakMenu->setEnabled(false);
    breakTimer_->start(BreakMs);
}

void MainForm::EndBreak()
{
    if (!breakOn_)
        return;
    breakOn_ = false;
    breakTimer_->stop();
    win32::EscapeCommFunction(modZEMO::hCom, win32::CLRBREAK);
    PortBreakMenu->setEnabled(PortIsOpen);
}
