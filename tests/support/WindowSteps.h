#pragma once

#include <QStringList>

class QComboBox;
class frmMain;

// What a user does in the window, as the window tests do it.

// Types a text into the send box and presses Send.
void Send(frmMain& w, const QString& text);
// Chooses the interface type; for Transparent also the first port of the second list.
void ChooseInterface(frmMain& w, int type);
// Shows the window, chooses the interface type and presses Init; true when a port opened.
bool Connect(frmMain& w, int type);
// The entries of a list as the user reads them.
QStringList Items(const QComboBox* list);
