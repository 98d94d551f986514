#include "support/MessageRecorder.h"

#include "app/MsgBox.h"

MessageRecorder::MessageRecorder()
{
    modZEMO::SetMsgBoxHandler([this](const QString& text, int style, const QString& title, const QString& informative) {
        messages_.append({text, style, title, informative});
    });
}

MessageRecorder::~MessageRecorder()
{
    modZEMO::SetMsgBoxHandler({});
}

QStringList MessageRecorder::texts() const
{
    QStringList out;
    for (const auto& m : messages_)
        out << m.text;
    return out;
}
