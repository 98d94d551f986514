#include "app/monitor/SteadyScrollBar.h"

#include <QStyle>
#include <QStyleOptionSlider>

#include <algorithm>

namespace {

constexpr qint64 LeastPaintMs = 100;

}

SteadyScrollBar::SteadyScrollBar(Qt::Orientation orientation, QWidget* parent)
    : QScrollBar(orientation, parent)
{
    pending_.setSingleShot(true);
    connect(&pending_, &QTimer::timeout, this, [this] {
        if (Current() != painted_)
            update();
    });
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
    if (change == SliderOrientationChange) {
        QScrollBar::sliderChange(change);
        return;
    }
    // Range, steps and value change together in a frame and often leave the
    // picture as it was: whether to repaint is decided once they are all set.
    if (pending_.isActive())
        return;
    const qint64 since = sincePaint_.isValid() ? sincePaint_.elapsed() : LeastPaintMs;
    pending_.start(underMouse() ? 0 : int(std::max<qint64>(0, LeastPaintMs - since)));
}

void SteadyScrollBar::paintEvent(QPaintEvent* event)
{
    sincePaint_.start();
    painted_ = Current();
    QScrollBar::paintEvent(event);
}
