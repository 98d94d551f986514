#include "support/window/MessageRecorder.h"

#include "app/MsgBox.h"
#include "port/PortFailures.h"

MessageRecorder::MessageRecorder()
{
    modZEMO::SetMsgBoxHandler([this](const QString& text, int style, const QString& title, const QString& informative) {
        messages_.append({text, style, title, informative});
    });
    // The port layer's failures, shown as the window shows them, also where no window is.
    modZEMO::SetFailureReporter([](const QString& message) { modZEMO::MsgBox(message, modZEMO::MsgCritical); });
}

MessageRecorder::~MessageRecorder()
{
    modZEMO::SetFailureReporter({});
    modZEMO::SetMsgBoxHandler({});
}

QStringList MessageRecorder::Texts() const
{
    QStringList out;
    for (const auto& m : messages_)
        out << m.text;
    return out;
}
