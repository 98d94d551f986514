#pragma once

#include <QStringList>
#include <cstdint>

class RecallKeys;

namespace session {

// The send history as the choice file keeps it: the 99 entries in their
// places, each as percent-encoded UTF-8, so that every character, control
// characters and bytes 128 to 255 too, comes back as it was sent.
QStringList SavedHistory();
// Puts saved entries back in their places and the recall keys where they
// stood (historyIndex, the entry last written). False, with nothing
// changed, when the saved form is not one SavedHistory gives.
bool RestoreHistory(const QStringList& entries, int historyIndex, RecallKeys& keys);
// Empties the history, as at the written start.
void ForgetHistory(RecallKeys& keys);

}
