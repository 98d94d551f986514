#pragma once

#include <QList>
#include <QString>

// Takes over the program's message boxes for the life of the object and keeps
// what would have been shown, so that no test waits on a modal dialog. The
// port layer's failures are kept as well, also in tests without a window.
class MessageRecorder {
public:
    struct Message {
        QString text;
        int style;
        QString title;
        QString informative; // the smaller text under the message
    };

    MessageRecorder();
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    const QList<Message>& Messages() const { return messages_; }
    QStringList Texts() const;
    void Clear() { messages_.clear(); }

private:
    QList<Message> messages_;
};
