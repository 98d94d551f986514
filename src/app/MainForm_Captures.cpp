#include "app/FileDialog.h"
#include "app/MsgBox.h"
#include "app/Version.h"
#include "app/MainForm.h"
#include "app/frmMain.h"
#include "app/monitor/ReceiveView.h"
#include "port/ModZemoPorts.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>

namespace {

// Writes the received bytes as they came, a block at a time.
bool WriteRaw(const ByteStore& bytes, QFile& file)
{
    constexpr qsizetype Block = 1 << 20;
    QByteArray buffer;
    for (qsizetype from = 0; from < bytes.Size(); from += Block) {
        const qsizetype to = std::min(bytes.Size(), from + Block);
        buffer.resize(to - from);
        bytes.CopyTo(from, to, buffer.data());
        if (file.write(buffer) != buffer.size())
            return false;
    }
    return true;
}

}

void MainForm::FileLogMenu_Click()
{
    if (CaptureLogs[0].IsOpen() || TextLog.IsOpen()) {
        StopLog();
        return;
    }
    const QStringList types{tr("All files (*)"), tr("Timeline text (*.txt)")};
    QString type;
    const QString path = modZEMO::AskSaveFileName(tr("Log to File"), types, modZEMO::ExistingFile::Append, &type);
    if (path.isEmpty()) {
        FileLogMenu->setChecked(false);
        return;
    }
    if (type == types[1])
        StartTextLog(path);
    else
        StartLog(path);
}

bool MainForm::StartLog(const QString& path)
{
    QString error;
    if (!CaptureLogs[0].Open(path, error)) {
        ReportLogFailure(path, error);
        return false;
    }
    FileLogMenu->setChecked(true);
    ShowLogState();
    return true;
}

void MainForm::StopLog()
{
    for (CaptureLog& log : CaptureLogs)
        log.Close();
    TextLog.Close();
    FileLogMenu->setChecked(false);
    ShowLogState();
}

void MainForm::ShowLogState()
{
    // The title says that a log is open, where no written control stands.
    const QString caption = QStringLiteral("Wendale v") + modZEMO::VersionString;
    const QString path = CaptureLogs[0].IsOpen() ? CaptureLogs[0].Path() : TextLog.IsOpen() ? TextLog.Path() : QString();
    window_.setWindowTitle(path.isEmpty() ? caption : caption + tr(" - logging to %1").arg(QFileInfo(path).fileName()));
}

void MainForm::ReportLogFailure(const QString& path, const QString& reason)
{
    StopLog();
    modZEMO::MsgBox(tr("Logging to %1 has stopped.").arg(path), modZEMO::MsgCritical, modZEMO::AppTitle,
                    tr("The file cannot be written: %1").arg(reason));
}

void MainForm::LogReceived(const QByteArray& first, const QByteArray& second)
{
    if (!CaptureLogs[0].IsOpen())
        return;
    QString error;
    if (!CaptureLogs[0].Write(first, error)) {
        ReportLogFailure(CaptureLogs[0].Path(), error);
        return;
    }
    // Standard output carries one stream: the primary port's.
    if (second.isEmpty() || CaptureLogs[0].ToStandardOutput())
        return;
    // The second port's file follows the port chosen at the last connect.
    const QString path = CaptureLog::BesidePath(CaptureLogs[0].Path(), modZEMO::SecondPortName);
    if ((CaptureLogs[1].Path() != path || !CaptureLogs[1].IsOpen()) && !CaptureLogs[1].Open(path, error)) {
        ReportLogFailure(path, error);
        return;
    }
    if (!CaptureLogs[1].Write(second, error))
        ReportLogFailure(path, error);
}

void MainForm::FileSaveMenu_Click()
{
    const QStringList types{tr("Text as shown (*.txt)"), tr("Received bytes (*.bin)")};
    QString type;
    const QString path
        = modZEMO::AskSaveFileName(tr("Save Received Data"), types, modZEMO::ExistingFile::Replace, &type);
    if (path.isEmpty())
        return;
    const bool raw = type == types[1];
    struct Port {
        const ReceivedTexts& texts;
        const ReceiveView* box;
        QString path;
    };
    std::vector<Port> ports{{RX, RXOut, path}};
    // The timeline's text holds both directions in one file.
    if (TwoPortMode && (raw || !timelineShown_))
        ports.push_back({RX2, RX2Out, CaptureLog::BesidePath(path, modZEMO::SecondPortName)});
    for (const Port& port : ports) {
        QFile file(port.path);
        const bool written = file.open(QIODevice::WriteOnly | QIODevice::Truncate)
            && (raw ? WriteRaw(port.texts.Bytes(), file) : port.box->WriteText(file)) && file.flush();
        if (!written) {
            modZEMO::MsgBox(tr("The received data could not be saved to %1.").arg(port.path), modZEMO::MsgCritical,
                            modZEMO::AppTitle, file.errorString());
            return;
        }
    }
}
