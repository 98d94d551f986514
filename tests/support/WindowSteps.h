#pragma once

#include <QString>

class frmMain;

// What a user does in the window, as the window tests do it.

// Types a text into the send box and presses Send.
void Send(frmMain& w, const QString& text);
// Chooses the interface type; for Transparent also the first port of the second list.
void ChooseInterface(frmMain& w, int type);
