#include "app/FileDialog.h"
#include "app/MainForm.h"
#include "app/MsgBox.h"
#include "app/frmMain.h"
#include "app/transmit/SendingState.h"
#include "port/ModZemoPorts.h"
#include "port/PortFailures.h"

#include <QAction>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QScopedValueRollback>

#include <algorithm>

namespace {

// As long as a write may wait on a full driver before it fails.
constexpr qint64 StallMs = 10000;
// Whatever the rate, the driver is given this much line time ahead, so that
// the line never runs dry between two steps.
constexpr int LeadMs = 50;

}

void MainForm::CreateFileBar()
{
    // In the free strip between the send box and the indicators.
    SendingState& s = *sending_;
    s.fileBar = new QWidget(SendFrame);
    s.fileBar->setObjectName(QStringLiteral("SendFileBar"));
    s.fileBar->setGeometry(120 / 15, 1020 / 15, 3495 / 15, 285 / 15);
    s.fileBar->hide();
    auto* row = new QHBoxLayout(s.fileBar);
    row->setContentsMargins(0, 0, 0, 0);
    s.fileProgress = new QProgressBar(s.fileBar);
    s.fileProgress->setObjectName(QStringLiteral("SendFileProgress"));
    s.fileProgress->setRange(0, 1000);
    row->addWidget(s.fileProgress, 1);
    auto* cancel = new QPushButton(tr("Cancel"), s.fileBar);
    cancel->setObjectName(QStringLiteral("SendFileCancel"));
    row->addWidget(cancel);
    connect(cancel, &QPushButton::clicked, this, [this] { StopFileSend(); });
}

void MainForm::FileSendMenu_Click()
{
    if (!CanSendNow() || sending_->file)
        return;
    const QString path = modZEMO::AskOpenFileName(tr("Send File"), {tr("All files (*)")});
    if (path.isEmpty() || !CanSendNow())
        return;
    auto file = std::make_unique<modZEMO::FileChunks>();
    QString why;
    if (!file->Open(path, &why)) {
        modZEMO::MsgBox(tr("The file %1 cannot be sent.").arg(path), modZEMO::MsgCritical, modZEMO::AppTitle, why);
        return;
    }
    SendingState& s = *sending_;
    s.file = std::move(file);
    s.fileLine = PrimaryLineBacklog();
    s.fileProgressMs = s.clock.elapsed();
    s.fileProgress->setValue(0);
    s.fileProgress->setFormat(tr("0 of %1 bytes").arg(s.file->Size()));
    s.fileBar->show();
    FileSendMenu->setEnabled(false);
    FileSendStep();
}

void MainForm::FileSendStep()
{
    SendingState& s = *sending_;
    // A failed write's message box lets ticks run: none of them may step in.
    if (!s.file || s.fileStepping)
        return;
    const QScopedValueRollback stepping(s.fileStepping, true);
    // Each step follows a tick, so a device that has gone was found by the
    // tick, which said so.
    if (!CanSendNow()) {
        StopFileSend();
        return;
    }
    const qint64 now = s.clock.elapsed();
    const qsizetype lead = std::max<qsizetype>(2 * modZEMO::PortChunk, s.fileLine->BytesIn(LeadMs));
    win32::DWORD errors = 0;
    const bool heldOff = PrimaryHeldOff(lead, errors);
    errorsRead_ |= errors;
    if (heldOff) {
        if (now - s.fileProgressMs >= StallMs) {
            StopFileSend();
            modZEMO::ReportFailure(QStringLiteral("Error sending data to the COM port"));
        }
        return;
    }
    for (qsizetype room = s.fileLine->Room(now, lead); room > 0 && !s.file->AtEnd();) {
        QString why;
        const QByteArray piece = s.file->Take(std::min<qsizetype>(room, modZEMO::PortChunk), &why);
        if (piece.isEmpty()) {
            StopFileSend(why);
            return;
        }
        if (!SendPayload(piece)) {
            StopFileSend();
            return;
        }
        s.fileLine->Sent(piece.size(), now);
        s.fileProgressMs = now;
        room -= piece.size();
    }
    s.fileProgress->setValue(s.file->Size() ? int(s.file->Taken() * 1000 / s.file->Size()) : 1000);
    s.fileProgress->setFormat(tr("%1 of %2 bytes").arg(s.file->Taken()).arg(s.file->Size()));
    if (s.file->AtEnd())
        StopFileSend();
}

void MainForm::StopFileSend(const QString& why)
{
    SendingState& s = *sending_;
    s.fileBar->hide();
    const bool interrupted = s.file && !s.file->AtEnd();
    const qint64 taken = s.file ? s.file->Taken() : 0;
    s.file.reset();
    FileSendMenu->setEnabled(CanSendNow());
    if (interrupted && !why.isEmpty())
        modZEMO::MsgBox(tr("The file was not sent whole: %1 bytes went.").arg(taken), modZEMO::MsgCritical,
                        modZEMO::AppTitle, why);
}
