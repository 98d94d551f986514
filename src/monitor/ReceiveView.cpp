#include "monitor/ReceiveView.h"

ReceiveView::ReceiveView(QWidget* parent)
    : QAbstractScrollArea(parent)
{
}

void ReceiveView::AppendLocalText(const QByteArray& text)
{
    local_ += text;
    viewport()->update();
}

QByteArray ReceiveView::Text() const
{
    return local_;
}
