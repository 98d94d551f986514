#pragma once

#include <QString>
#include <QStringList>

// The program's own options. Qt's options (-platform, -style, ...) are taken
// out by the application object before these are read.
struct CommandLine {
    enum class Outcome { Run, Help, Version, Usage };
    Outcome outcome = Outcome::Run;
    QString logFile; // --log FILE; "-" is standard output
    bool defaults = false; // --defaults: the written start, no saved choices read or kept
    QString textLogFile; // --log-text FILE: the timeline as text lines
    QString problem; // what was wrong, with Usage; an argument in it is cut short
};

CommandLine ReadCommandLine(const QStringList& arguments);
// The usage line and the options, as --help prints them.
QString CommandLineHelp();
QString CommandLineUsage();
// "wendale" and the version, as --version prints it.
QString CommandLineVersion();
