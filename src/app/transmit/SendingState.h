#pragma once

#include "app/transmit/SendingDialogs.h"
#include "port/Kernel32.h"
#include "transmit/Answers.h"
#include "transmit/FileChunks.h"
#include "transmit/LineBacklog.h"
#include "transmit/Macros.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <memory>
#include <optional>

class QProgressBar;
class QPushButton;
class QTimer;
class QWidget;

// What the sends that need no typing keep between their steps: a repeated
// send, a file on its way, the macros and the answers.
class SendingState : public QObject {
public:
    explicit SendingState(QObject* parent);

    QElapsedTimer clock; // the moments of every step below, in ms

    QTimer* repeatTimer = nullptr;
    sending::RepeatChoice lastRepeat; // what the dialog offers next
    QByteArray repeatPayload;
    int repeatIntervalMs = 0;
    int repeatLeft = 0; // sends still to go; 0 until stopped
    qint64 repeatDueMs = 0;
    std::optional<modZEMO::LineBacklog> repeatLine;

    bool fileStepping = false;
    std::unique_ptr<modZEMO::FileChunks> file;
    std::optional<modZEMO::LineBacklog> fileLine;
    qint64 fileProgressMs = 0; // when the driver last took a piece
    QWidget* fileBar = nullptr;
    QProgressBar* fileProgress = nullptr;

    modZEMO::Macros macros;
    QWidget* macroBar = nullptr;
    QList<QPushButton*> macroButtons;

    modZEMO::Answers answers;
    modZEMO::AnswerMatcher matcher;
    modZEMO::AnswerLimit limit;
    QList<QByteArray> replies; // each rule's reply as bytes
    qsizetype answeredUpTo = 0; // received bytes of the primary port already looked at
};

// The primary port's line as its settings make it.
modZEMO::LineBacklog PrimaryLineBacklog();
// Whether the primary port's sending is held off now: by hardware flow
// control, or with more than ahead bytes still in the driver. The driver's
// CE_ errors that the look took go to errors.
bool PrimaryHeldOff(qsizetype ahead, win32::DWORD& errors);
