#pragma once

#include <QStringList>

class QComboBox;
struct TestWindow;

// What a user does in the window, and what they read off it, as the window tests do it.

// Types a text into the send box and presses Send.
void Send(TestWindow& w, const QString& text);
// Picks the entry that reads text from a list, as a user does; false when the list has no such entry.
bool Choose(QComboBox* list, const QString& text);
// Chooses the interface type by its name; for Transparent also the first port of the second list.
void ChooseInterface(TestWindow& w, const QString& type);
// Shows the window, chooses the interface type and presses Init; true when a port opened.
bool Connect(TestWindow& w, const QString& type);
// Whether the window shows a connection: its Init button reads "Disc.".
bool Connected(const TestWindow& w);
// Whether the window shows two ports: the two received-data boxes stand side by side.
bool ShowsTwoPorts(const TestWindow& w);
// Lets the poll run for a few ticks.
void LetTicksRun(int ticks = 3);
// The entries of a list as the user reads them.
QStringList Items(const QComboBox* list);
