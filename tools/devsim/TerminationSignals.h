#pragma once

#include <QObject>

class QSocketNotifier;

namespace devsim {

// Turns SIGINT, SIGTERM and SIGHUP into a Qt signal through a self-pipe, so
// that the program can clean up in its event loop. One instance per process.
class TerminationSignals : public QObject {
    Q_OBJECT

public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

signals:
    void Received(int signalNumber);

private:
    QSocketNotifier* notifier_ = nullptr;
};

}
