#pragma once

#include "transmit/SendParser.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariantMap>
#include <deque>
#include <vector>

namespace modZEMO {

// When the bytes of pattern arrive, reply is sent after delayMs.
struct AnswerRule {
    QString pattern;
    bool patternHex = false; // pattern as hex digits, else its characters
    QString reply;
    int notation = int(TransmitDataType::Char); // the reply's TransmitDataType index
    bool cr = false;
    bool lf = false;
    int delayMs = 0;

    bool operator==(const AnswerRule&) const = default;
};

constexpr int MaxAnswerDelayMs = 60000;
constexpr int MaxAnswerRules = 8; // the rows of the table that edits them

struct Answers {
    bool enabled = false; // off until the user turns them on
    QList<AnswerRule> rules;

    bool operator==(const Answers&) const = default;
};

// The bytes a rule waits for; empty when its pattern is empty or not valid hex.
QByteArray PatternBytes(const AnswerRule& rule);

// As the saved choices keep them.
void SaveAnswers(QVariantMap& choices, const Answers& answers);
Answers LoadAnswers(const QVariantMap& choices);

// Finds the patterns in received bytes as they come, one piece at a time: a
// pattern split over two pieces is found, and the bytes of one match count
// for no other match of the same pattern.
class AnswerMatcher {
public:
    explicit AnswerMatcher(const QList<QByteArray>& patterns = {});

    // The index of the pattern of each match that ends in data, in the order the matches end.
    QList<int> Feed(QByteArrayView data);

private:
    struct Watch {
        QByteArray pattern;
        QByteArray carry; // the end of what came before, too short for a match
    };
    std::vector<Watch> watches_;
};

// Keeps a rule whose reply comes back to it (an echoing device) from
// answering without end: each rule answers at most PerSecond times in any second.
class AnswerLimit {
public:
    static constexpr int PerSecond = 4;

    // Whether rule may answer at nowMs; counts the answer when it may.
    bool Allow(int rule, qint64 nowMs);

private:
    std::vector<std::deque<qint64>> recent_;
};

}
