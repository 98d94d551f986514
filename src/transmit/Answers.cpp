#include "transmit/Answers.h"

#include <QSettings>

#include <algorithm>

namespace modZEMO {

QByteArray PatternBytes(const AnswerRule& rule)
{
    if (!rule.patternHex)
        return rule.pattern.toLatin1();
    const SendPayload bytes = BuildPayload(rule.pattern, int(TransmitDataType::Hex), false, false);
    return std::holds_alternative<QByteArray>(bytes) ? std::get<QByteArray>(bytes) : QByteArray();
}

void SaveAnswers(QSettings& settings, const Answers& answers)
{
    settings.beginGroup(QStringLiteral("Answers"));
    settings.setValue(QStringLiteral("Enabled"), answers.enabled);
    settings.beginWriteArray(QStringLiteral("Rules"), int(answers.rules.size()));
    for (int i = 0; i < answers.rules.size(); ++i) {
        const AnswerRule& rule = answers.rules[i];
        settings.setArrayIndex(i);
        settings.setValue(QStringLiteral("Pattern"), rule.pattern);
        settings.setValue(QStringLiteral("PatternHex"), rule.patternHex);
        settings.setValue(QStringLiteral("Reply"), rule.reply);
        settings.setValue(QStringLiteral("Notation"), rule.notation);
        settings.setValue(QStringLiteral("CR"), rule.cr);
        settings.setValue(QStringLiteral("LF"), rule.lf);
        settings.setValue(QStringLiteral("Delay"), rule.delayMs);
    }
    settings.endArray();
    settings.endGroup();
}

Answers LoadAnswers(QSettings& settings)
{
    Answers answers;
    settings.beginGroup(QStringLiteral("Answers"));
    answers.enabled = settings.value(QStringLiteral("Enabled")).toBool();
    const int count = settings.beginReadArray(QStringLiteral("Rules"));
    for (int i = 0; i < count; ++i) {
        settings.setArrayIndex(i);
        AnswerRule rule;
        rule.pattern = settings.value(QStringLiteral("Pattern")).toString();
        rule.patternHex = settings.value(QStringLiteral("PatternHex")).toBool();
        rule.reply = settings.value(QStringLiteral("Reply")).toString();
        const int notation = settings.value(QStringLiteral("Notation"), rule.notation).toInt();
        rule.notation = notation >= 0 && notation <= int(TransmitDataType::Char) ? notation : rule.notation;
        rule.cr = settings.value(QStringLiteral("CR")).toBool();
        rule.lf = settings.value(QStringLiteral("LF")).toBool();
        rule.delayMs = std::clamp(settings.value(QStringLiteral("Delay")).toInt(), 0, MaxAnswerDelayMs);
        answers.rules.append(rule);
    }
    settings.endArray();
    settings.endGroup();
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
