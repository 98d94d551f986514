#pragma once

#include <QElapsedTimer>
#include <QRect>
#include <QScrollBar>
#include <QTimer>

// A scroll bar that repaints only when its picture changes, and then at most
// about ten times a second unless the user points at it. The received-data
// box moves the range with every frame of streaming data; a styled repaint
// of the bar costs more than the frame's new text, and no eye follows the
// slider that fast.
class SteadyScrollBar : public QScrollBar {
public:
    explicit SteadyScrollBar(Qt::Orientation orientation, QWidget* parent = nullptr);

protected:
    void sliderChange(SliderChange change) override;
    void paintEvent(QPaintEvent* event) override;

private:
    struct Picture {
        QRect slider;
        bool atMinimum = false;
        bool atMaximum = false;
        bool operator==(const Picture&) const = default;
    };
    Picture Current() const;

    Picture painted_;
    QElapsedTimer sincePaint_;
    QTimer pending_;
};
