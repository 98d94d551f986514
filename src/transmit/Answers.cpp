#include "transmit/Answers.h"

#include <algorithm>

namespace modZEMO {

QByteArray PatternBytes(const AnswerRule& rule)
{
    if (!rule.patternHex)
        return rule.pattern.toLatin1();
    const SendPayload bytes = BuildPayload(rule.pattern, int(TransmitDataType::Hex), false, false);
    return std::holds_alternative<QByteArray>(bytes) ? std::get<QByteArray>(bytes) : QByteArray();
}

void SaveAnswers(QVariantMap& choices, const Answers& answers)
{
    choices.insert(QStringLiteral("Answers/Enabled"), answers.enabled);
    choices.insert(QStringLiteral("Answers/Rules"), int(answers.rules.size()));
    for (int i = 0; i < answers.rules.size(); ++i) {
        const AnswerRule& rule = answers.rules[i];
        const QString key = QStringLiteral("Answers/%1/").arg(i + 1);
        choices.insert(key + QLatin1String("Pattern"), rule.pattern);
        choices.insert(key + QLatin1String("PatternHex"), rule.patternHex);
        choices.insert(key + QLatin1String("Reply"), rule.reply);
        choices.insert(key + QLatin1String("Notation"), rule.notation);
        choices.insert(key + QLatin1String("CR"), rule.cr);
        choices.insert(key + QLatin1String("LF"), rule.lf);
        choices.insert(key + QLatin1String("Delay"), rule.delayMs);
    }
}

Answers LoadAnswers(const QVariantMap& choices)
{
    Answers answers;
    answers.enabled = choices.value(QStringLiteral("Answers/Enabled")).toBool();
    const int count = std::clamp(choices.value(QStringLiteral("Answers/Rules")).toInt(), 0, MaxAnswerRules);
    for (int i = 0; i < count; ++i) {
        const QString key = QStringLiteral("Answers/%1/").arg(i + 1);
        AnswerRule rule;
        rule.pattern = choices.value(key + QLatin1String("Pattern")).toString();
        rule.patternHex = choices.value(key + QLatin1String("PatternHex")).toBool();
        rule.reply = choices.value(key + QLatin1String("Reply")).toString();
        const int notation = choices.value(key + QLatin1String("Notation"), rule.notation).toInt();
        rule.notation = notation >= 0 && notation <= int(TransmitDataType::Char) ? notation : rule.notation;
        rule.cr = choices.value(key + QLatin1String("CR")).toBool();
        rule.lf = choices.value(key + QLatin1String("LF")).toBool();
        rule.delayMs = std::clamp(choices.value(key + QLatin1String("Delay")).toInt(), 0, MaxAnswerDelayMs);
        answers.rules.append(rule);
    }
    return answers;
}

AnswerMatcher::AnswerMatcher(const QList<QByteArray>& patterns)
{
    for (const QByteArray& pattern : patterns)
        watches_.push_back({pattern, {}});
}

QList<int> AnswerMatcher::Feed(QByteArrayView data)
{
    std::vector<std::pair<qsizetype, int>> ends; // where each match ends in carry + data, and its pattern
    for (size_t i = 0; i < watches_.size(); ++i) {
        Watch& watch = watches_[i];
        if (watch.pattern.isEmpty())
            continue;
        const qsizetype carried = watch.carry.size();
        const QByteArray seen = watch.carry + data.toByteArray();
        qsizetype from = 0;
        for (qsizetype at; (at = seen.indexOf(watch.pattern, from)) >= 0; from = at + watch.pattern.size())
            ends.emplace_back(at + watch.pattern.size() - carried, int(i));
        // Only the bytes after the last match may begin the next one.
        const qsizetype keep = std::min(seen.size() - from, watch.pattern.size() - 1);
        watch.carry = seen.right(keep);
    }
    std::stable_sort(ends.begin(), ends.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    QList<int> matched;
    for (const auto& [end, rule] : ends)
        matched.append(rule);
    return matched;
}

bool AnswerLimit::Allow(int rule, qint64 nowMs)
{
    if (rule >= int(recent_.size()))
        recent_.resize(size_t(rule) + 1);
    std::deque<qint64>& times = recent_[size_t(rule)];
    while (!times.empty() && nowMs - times.front() >= 1000)
        times.pop_front();
    if (times.size() >= PerSecond)
        return false;
    times.push_back(nowMs);
    return true;
}

}
