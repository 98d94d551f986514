#include "monitor/SteadyScrollBar.h"

#include <QStyle>
#include <QStyleOptionSlider>

namespace {

constexpr qint64 LeastPaintMs = 100;

}

SteadyScrollBar::SteadyScrollBar(Qt::Orientation orientation, QWidget* parent)
    : QScrollBar(orientation, parent)
{
    pending_.setSingleShot(true);
    connect(&pending_, &QTimer::timeout, this, qOverload<>(&QWidget::update));
}

SteadyScrollBar::Picture SteadyScrollBar::Current() const
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    // The arrows are drawn dimmed at the ends of the range.
    return {style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this),
            value() == minimum(), value() == maximum()};
}

void SteadyScrollBar::sliderChange(SliderChange change)
{
    // A step change (set on every frame with the range) moves the slider only
    // when its picture shows it.
    if (change == SliderOrientationChange) {
        QScrollBar::sliderChange(change);
        return;
    }
    if (Current() == painted_ || pending_.isActive())
        return;
    const qint64 since = sincePaint_.isValid() ? sincePaint_.elapsed() : LeastPaintMs;
    if (underMouse() || since >= LeastPaintMs)
        QScrollBar::sliderChange(change);
    else
        pending_.start(int(LeastPaintMs - since));
}

void SteadyScrollBar::paintEvent(QPaintEvent* event)
{
    pending_.stop();
    sincePaint_.start();
    painted_ = Current();
    QScrollBar::paintEvent(event);
}
