#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// Every file the program asks for goes through AskSaveFileName or AskOpenFileName, so that
// tests can answer instead of the desktop's dialog.
namespace modZEMO {

// How an existing file is treated: replaced (the dialog asks first) or added to.
enum class ExistingFile { Replace, Append };

// The chosen file, or empty when cancelled; selectedFilter (may be null)
// receives the file type chosen among filters.
QString AskSaveFileName(const QString& caption, const QStringList& filters, ExistingFile existing,
                        QString* selectedFilter = nullptr);

// The folder the dialogs open in: where a file was last chosen (empty: the working folder).
QString DialogFolder();
void SetDialogFolder(const QString& folder);

using SaveFileHandler = std::function<QString(const QString& caption, const QStringList& filters, QString* selectedFilter)>;
// Replaces the dialog; an empty handler restores it. Returns the previous handler.
SaveFileHandler SetSaveFileHandler(SaveFileHandler handler);

// An existing file to read, or empty when cancelled.
QString AskOpenFileName(const QString& caption, const QStringList& filters);

using OpenFileHandler = std::function<QString(const QString& caption, const QStringList& filters)>;
// Replaces the dialog; an empty handler restores it. Returns the previous handler.
OpenFileHandler SetOpenFileHandler(OpenFileHandler handler);

}
