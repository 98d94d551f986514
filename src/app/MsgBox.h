#pragma once

#include <QString>
#include <functional>

// Every message of the program goes through MsgBox, so that tests can take
// the boxes over and no test ever waits on a modal dialog.
namespace modZEMO {

enum MsgBoxStyle { MsgNone = 0, MsgCritical = 16, MsgInformation = 64 };

inline const QString AppTitle = QStringLiteral("Brackwell");

// informative: a second, smaller text under the message (why it happened).
void MsgBox(const QString& text, int style, const QString& title = AppTitle, const QString& informative = {});

using MsgBoxHandler
    = std::function<void(const QString& text, int style, const QString& title, const QString& informative)>;
// Replaces the modal box; an empty handler restores it. Returns the previous handler.
MsgBoxHandler SetMsgBoxHandler(MsgBoxHandler handler);

}
