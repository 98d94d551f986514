#pragma once

#include <QByteArrayView>
#include <QFile>
#include <QString>

// A capture file: received bytes appended exactly as they came, nothing
// added. An existing file is added to, never cut. Each write goes to the
// system at once, so the data is on its way to disk within the tick that
// brought it and nothing is lost when the program ends.
class CaptureLog {
public:
    // False with the reason in error when the file cannot be opened.
    bool Open(const QString& path, QString& error);
    bool IsOpen() const { return file_.isOpen(); }
    QString Path() const { return file_.fileName(); }
    // False with the reason in error when the bytes could not all be written.
    bool Write(QByteArrayView bytes, QString& error);
    void Close() { file_.close(); }

    // The file of a further port beside path: its name before the extension
    // ("capture.bin" and COM7: "capture.COM7.bin").
    static QString BesidePath(const QString& path, const QString& portName);

private:
    QFile file_;
};
