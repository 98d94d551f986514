#include "app/FileDialog.h"

#include <QApplication>
#include <QFileDialog>

namespace modZEMO {

namespace {

SaveFileHandler& HandlerSlot()
{
    static SaveFileHandler handler;
    return handler;
}

}

QString AskSaveFileName(const QString& caption, const QStringList& filters, ExistingFile existing,
                        QString* selectedFilter)
{
    if (const SaveFileHandler& handler = HandlerSlot())
        return handler(caption, filters, selectedFilter);
    const QFileDialog::Options options
        = existing == ExistingFile::Append ? QFileDialog::DontConfirmOverwrite : QFileDialog::Options();
    return QFileDialog::getSaveFileName(QApplication::activeWindow(), caption, QString(), filters.join(QStringLiteral(";;")),
                                        selectedFilter, options);
}

SaveFileHandler SetSaveFileHandler(SaveFileHandler handler)
{
    return std::exchange(HandlerSlot(), std::move(handler));
}

}
