#pragma once

#include <QAbstractScrollArea>
#include <QByteArray>

// Read-only view of a received text.
class ReceiveView : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit ReceiveView(QWidget* parent = nullptr);

    // Text written straight into the box; it stays until the box is next rewritten.
    void AppendLocalText(const QByteArray& text);
    // What the box shows.
    QByteArray Text() const;

private:
    QByteArray local_;
};
