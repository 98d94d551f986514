#include "session/ChoiceFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <cstdio>
#include <utility>

namespace session {

namespace {

// Far more than every choice and the whole send history take; a larger file
// is not one this program wrote.
constexpr qint64 LargestFile = 1 << 20;

}

ChoiceFile::ChoiceFile(bool on)
    : on_(on)
{
}

QString ChoiceFile::Path()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
           + QStringLiteral("/wendale/wendale.conf");
}

QVariantMap ChoiceFile::Load()
{
    QVariantMap choices;
    const QFileInfo file(Path());
    if (!on_ || !file.exists())
        return choices;
    if (!file.isFile() || !file.isReadable() || file.size() > LargestFile) {
        Say(file.isFile() && file.size() > LargestFile ? QStringLiteral("is too large") : QStringLiteral("cannot be read"));
        return choices;
    }
    const QSettings settings(file.filePath(), QSettings::IniFormat);
    if (settings.status() != QSettings::NoError || (file.size() > 0 && settings.allKeys().isEmpty())) {
        Say(QStringLiteral("makes no sense"));
        return choices;
    }
    for (const QString& key : settings.allKeys())
        choices.insert(key, settings.value(key));
    return choices;
}

void ChoiceFile::Save(const QVariantMap& choices)
{
    if (!on_)
        return;
    // Written beside the file and put in its place in one step: a crash
    // leaves the old file or the new one, and what was there (perhaps not
    // ours to read) is replaced, not merged into.
    QDir().mkpath(QFileInfo(Path()).path());
    const QString written = Path() + QStringLiteral(".new.") + QString::number(QCoreApplication::applicationPid());
    QSettings settings(written, QSettings::IniFormat);
    for (auto choice = choices.cbegin(); choice != choices.cend(); ++choice)
        settings.setValue(choice.key(), choice.value());
    settings.sync();
    const bool ok = settings.status() == QSettings::NoError
                    && std::rename(QFile::encodeName(written).constData(), QFile::encodeName(Path()).constData()) == 0;
    if (!ok) {
        QFile::remove(written);
        if (!std::exchange(writeFailed_, true))
            Say(QStringLiteral("cannot be written; the choices of this run are not kept"));
        return;
    }
}

void ChoiceFile::Forget()
{
    if (on_)
        QFile::remove(Path());
}

void ChoiceFile::Say(const QString& problem)
{
    std::fprintf(stderr, "wendale: %s %s\n", qPrintable(QDir::toNativeSeparators(Path())), qPrintable(problem));
}

}
