#pragma once

#include <QByteArrayView>
#include <QString>

// A capture file: received bytes appended exactly as they came, nothing
// added. An existing file is added to, never cut. Each write goes to the
// system at once, so the data is on its way to disk within the tick that
// brought it and nothing is lost when the program ends. "-" is standard
// output. Opening never waits: a pipe that nothing reads is refused at once.
class CaptureLog {
public:
    CaptureLog() = default;
    ~CaptureLog() { Close(); }
    CaptureLog(const CaptureLog&) = delete;
    CaptureLog& operator=(const CaptureLog&) = delete;

    // False with the reason in error when the file cannot be opened.
    bool Open(const QString& path, QString& error);
    bool IsOpen() const { return fd_ >= 0; }
    QString Path() const { return path_; }
    bool ToStandardOutput() const { return path_ == u"-"; }
    // False with the reason in error when the bytes could not all be
    // written (a pipe whose reader has gone: "Broken pipe", with SIGPIPE
    // ignored); the log is then closed.
    bool Write(QByteArrayView bytes, QString& error);
    void Close();

    // The file of a further port beside path: its name before the extension
    // ("capture.bin" and COM7: "capture.COM7.bin").
    static QString BesidePath(const QString& path, const QString& portName);

private:
    int fd_ = -1;
    QString path_;
};
