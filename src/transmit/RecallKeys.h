#pragma once

#include <QString>
#include <cstdint>

// The keys of the send box: Enter sends, Up and Down bring back earlier
// texts from the send history. A held recall key acts once: its auto-repeat,
// and any other key while it is held (Enter too), do nothing.
class RecallKeys {
public:
    enum class Action { None, Send, ShowRecalled };

    Action KeyDown(int key);
    // True when the key coming up ends a recall: the cursor goes to the end.
    bool KeyUp(int key, bool autoRepeat);
    // Keeps a text being sent (or refused) in the history; Up brings it back next.
    void Store(const QString& text);
    // Goes on from a history kept between runs, historyIndex its last entry written.
    void ResumeAt(int16_t historyIndex);
    // The text the last recall brought back.
    QString Recalled() const;

    int16_t HistoryIndex() const { return historyIndex_; }
    int16_t RecallIndex() const { return recallIndex_; }
    bool RecallKeyHeld() const { return recallKeyHeld_; }

private:
    int16_t historyIndex_ = 0;
    int16_t recallIndex_ = 0;
    bool recallKeyHeld_ = false;
};
