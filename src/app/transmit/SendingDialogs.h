#pragma once

#include "transmit/Answers.h"
#include "transmit/Macros.h"

#include <optional>

class QWidget;

// The small dialogs of the sends that need no typing. Each is modal, and
// its fields are named so that tests fill them as a user does.
namespace sending {

struct RepeatChoice {
    int intervalMs = 1000;
    int count = 0; // 0: until stopped
};
constexpr int MinRepeatMs = 10;
constexpr int MaxRepeatMs = 3600000;

// "RepeatDialog": "RepeatInterval" (ms) and "RepeatCount"; nullopt when cancelled.
std::optional<RepeatChoice> AskRepeat(QWidget* parent, const RepeatChoice& last);

// "MacrosDialog": per slot n (1..12) "MacroNameN", "MacroTextN", "MacroNotationN",
// "MacroCRN", "MacroLFN". False when cancelled.
bool EditMacros(QWidget* parent, modZEMO::Macros& macros);

// "AnswersDialog": "AnswersEnabled", and per row n (1..AnswerRows) "AnswerPatternN",
// "AnswerHexN", "AnswerReplyN", "AnswerNotationN", "AnswerCRN", "AnswerLFN",
// "AnswerDelayN". A row without a pattern is no rule. OK takes only rules
// whose pattern and reply are valid, else shows the reason. False when cancelled.
constexpr int AnswerRows = modZEMO::MaxAnswerRules;
bool EditAnswers(QWidget* parent, modZEMO::Answers& answers);

}
