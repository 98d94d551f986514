#pragma once

#include <QObject>

class QSocketNotifier;
class QWidget;

// SIGTERM, SIGINT and SIGHUP close the window as File > Exit does, so that the
// ports are released before the program ends. The handler only writes to a
// pipe; the closing runs in the event loop. A second signal while the window
// closes ends the program at once. Signals ignored at start (nohup) stay
// ignored. Boxes and dialogs that are up are closed first. One object per
// process.
class CloseOnSignals : public QObject {
public:
    explicit CloseOnSignals(QWidget& window);
    ~CloseOnSignals() override;
    CloseOnSignals(const CloseOnSignals&) = delete;
    CloseOnSignals& operator=(const CloseOnSignals&) = delete;

private:
    void Close();

    QWidget& window_;
    int pipe_[2] = {-1, -1};
    QSocketNotifier* notifier_ = nullptr;
};
