#include "app/MsgBox.h"

#include <QApplication>
#include <QMessageBox>

namespace modZEMO {

namespace {
MsgBoxHandler& HandlerSlot()
{
    static MsgBoxHandler handler;
    return handler;
}

QMessageBox::Icon IconFor(int style)
{
    switch (style) {
    case MsgCritical: return QMessageBox::Critical;
    case MsgInformation: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}
}

void MsgBox(const QString& text, int style, const QString& title, const QString& informative)
{
    if (const auto& handler = HandlerSlot()) {
        handler(text, style, title, informative);
        return;
    }
    QMessageBox box(IconFor(style), title, text, QMessageBox::Ok, QApplication::activeWindow());
    box.setInformativeText(informative);
    box.exec();
}

MsgBoxHandler SetMsgBoxHandler(MsgBoxHandler handler)
{
    return std::exchange(HandlerSlot(), std::move(handler));
}

}
