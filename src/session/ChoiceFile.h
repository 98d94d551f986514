#pragma once

#include <QString>
#include <QVariantMap>

namespace session {

// The user's choices kept between runs, in $XDG_CONFIG_HOME/wendale/wendale.conf
// (INI). A file that cannot be read or makes no sense is said once on
// standard error and left alone until the user changes something; a failed
// write is said once too, and the session goes on with what it has.
class ChoiceFile {
public:
    // Off (--defaults): nothing is read, written or deleted.
    explicit ChoiceFile(bool on);

    static QString Path();
    bool On() const { return on_; }

    // The saved choices; empty when there are none, the file is off or cannot be used.
    QVariantMap Load();
    // Writes every choice, replacing what the file held.
    void Save(const QVariantMap& choices);
    // Deletes the file: the next start shows the defaults.
    void Forget();

private:
    void Say(const QString& problem);

    bool on_;
    bool writeFailed_ = false; // said once
};

}
