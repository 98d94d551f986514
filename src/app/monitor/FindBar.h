#pragma once

#include <QWidget>
#include <functional>
#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QToolButton;
class ReceiveView;

// The bar under the received-data boxes that finds a text, or hex bytes
// ("0D 0A" with "Hex bytes" ticked), in what a box shows. Enter selects the
// next match, Shift+Enter the one before (both go round at the ends), Escape
// closes the bar. A match is selected and scrolled to, so the box stops
// following the newest line.
class FindBar : public QWidget {
    Q_OBJECT

public:
    // notation gives the display format the boxes show (Bin, Hex or Chr):
    // hex bytes are looked for as that notation writes them.
    explicit FindBar(std::function<int()> notation, QWidget* parent = nullptr);

    // Shows the bar for box, its text selected for typing over.
    void Open(ReceiveView* box);
    void Close();
    ReceiveView* Box() const { return box_; }
    // Selects the match after the box's selection (before it when backwards);
    // false when there is none or what was typed cannot be looked for.
    bool Find(bool backwards);

    QLineEdit* Pattern = nullptr;
    QCheckBox* HexBytes = nullptr;
    QLabel* Status = nullptr;

signals:
    // The bar was shown or hidden: the boxes above it change height.
    void Toggled();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // What to look for in the box's text; nothing, after a message in the bar,
    // when the typed text cannot be looked for.
    std::optional<QByteArray> Needle();

    std::function<int()> notation_;
    ReceiveView* box_ = nullptr;
};
