#include "session/ChoiceFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <cstdio>

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
        unusable_ = true;
        Say(file.isFile() && file.size() > LargestFile ? QStringLiteral("is too large") : QStringLiteral("cannot be read"));
        return choices;
    }
    const QSettings settings(file.filePath(), QSettings::IniFormat);
    if (settings.status() != QSettings::NoError) {
        unusable_ = true;
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
    // The settings object merges into what is there; a file it could not
    // read would stay as it is, so it goes first.
    if (std::exchange(unusable_, false))
        QFile::remove(Path());
    QDir().mkpath(QFileInfo(Path()).path());
    QSettings settings(Path(), QSettings::IniFormat);
    settings.clear();
    for (auto choice = choices.cbegin(); choice != choices.cend(); ++choice)
        settings.setValue(choice.key(), choice.value());
    settings.sync();
    if (settings.status() != QSettings::NoError && !std::exchange(writeFailed_, true))
        Say(QStringLiteral("cannot be written; the choices of this run are not kept"));
}

void ChoiceFile::Forget()
{
    if (on_)
        QFile::remove(Path());
    unusable_ = false;
}

void ChoiceFile::Say(const QString& problem)
{
    std::fprintf(stderr, "wendale: %s %s\n", qPrintable(QDir::toNativeSeparators(Path())), qPrintable(problem));
}

}
