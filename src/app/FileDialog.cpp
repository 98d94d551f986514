#include "app/FileDialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>

namespace modZEMO {

namespace {

SaveFileHandler& HandlerSlot()
{
    static SaveFileHandler handler;
    return handler;
}

QString& FolderSlot()
{
    static QString folder;
    return folder;
}

// The next dialog opens where a file was last chosen.
QString Chosen(const QString& path)
{
    if (!path.isEmpty())
        FolderSlot() = QFileInfo(path).absolutePath();
    return path;
}

OpenFileHandler& OpenHandlerSlot()
{
    static OpenFileHandler handler;
    return handler;
}

// The extension a file type names ("Received bytes (*.bin)": "bin"); empty for "All files (*)".
QString SuffixOf(const QString& filter)
{
    static const QRegularExpression pattern(QStringLiteral("\\*\\.(\\w+)"));
    return pattern.match(filter).captured(1);
}

}

QString AskSaveFileName(const QString& caption, const QStringList& filters, ExistingFile existing,
                        QString* selectedFilter)
{
    // A name typed without an extension gets the chosen type's.
    if (const SaveFileHandler& handler = HandlerSlot()) {
        QString chosen;
        const QString path = handler(caption, filters, &chosen);
        if (selectedFilter)
            *selectedFilter = chosen;
        const QString suffix = SuffixOf(chosen);
        return Chosen(path.isEmpty() || suffix.isEmpty() || !QFileInfo(path).suffix().isEmpty() ? path
                                                                                                  : path + u'.' + suffix);
    }
    QFileDialog dialog(QApplication::activeWindow(), caption, FolderSlot(), filters.join(QStringLiteral(";;")));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, existing == ExistingFile::Append);
    // The dialog adds it itself, so that it also asks before replacing the file so named.
    dialog.setDefaultSuffix(SuffixOf(filters.value(0)));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog](const QString& filter) { dialog.setDefaultSuffix(SuffixOf(filter)); });
    if (dialog.exec() != QDialog::Accepted)
        return {};
    if (selectedFilter)
        *selectedFilter = dialog.selectedNameFilter();
    return Chosen(dialog.selectedFiles().value(0));
}

QString DialogFolder()
{
    return FolderSlot();
}

void SetDialogFolder(const QString& folder)
{
    FolderSlot() = folder;
}

SaveFileHandler SetSaveFileHandler(SaveFileHandler handler)
{
    return std::exchange(HandlerSlot(), std::move(handler));
}

QString AskOpenFileName(const QString& caption, const QStringList& filters)
{
    if (const OpenFileHandler& handler = OpenHandlerSlot())
        return Chosen(handler(caption, filters));
    return Chosen(QFileDialog::getOpenFileName(QApplication::activeWindow(), caption, FolderSlot(),
                                               filters.join(QStringLiteral(";;"))));
}

OpenFileHandler SetOpenFileHandler(OpenFileHandler handler)
{
    return std::exchange(OpenHandlerSlot(), std::move(handler));
}

}
