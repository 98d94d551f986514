#include "SmsStore.h"

namespace devsim {

namespace {
const QByteArray StatusNames[] = {"REC UNREAD", "REC READ", "STO UNSENT", "STO SENT", "ALL"};
const QByteArray ServiceCentre = "+15550000";
}

SmsStore SmsStore::withSamples()
{
    const auto at = [](const char *text) {
        return QDateTime::fromString(QString::fromLatin1(text), Qt::ISODate);
    };
    SmsStore store;
    store.add(Status::ReceivedRead, {ServiceCentre, "+15550100", at("2024-01-15T10:30:00+01:00"),
                                     QStringLiteral("Welcome to the Wendale network")});
    store.add(Status::ReceivedUnread, {ServiceCentre, "+15550199", at("2024-01-16T08:05:12+01:00"),
                                       QStringLiteral("Meeting moved to 10:30 [room 4]")});
    store.add(Status::ReceivedUnread, {ServiceCentre, "5550123", at("2024-01-16T21:45:00-05:00"),
                                       QStringLiteral(u"Grüße ☺")});
    return store;
}

std::optional<SmsStore::Entry> SmsStore::read(int index)
{
    const auto found = m_entries.find(index);
    if (found == m_entries.end())
        return std::nullopt;
    const Entry entry = found->second;
    if (entry.status == Status::ReceivedUnread)
        found->second.status = Status::ReceivedRead;
    return entry;
}

std::vector<SmsStore::Entry> SmsStore::list(Status status)
{
    std::vector<Entry> entries;
    for (const auto &[index, entry] : m_entries) {
        if (status == Status::All || entry.status == status)
            entries.push_back(*read(index));
    }
    return entries;
}

void SmsStore::remove(int index)
{
    m_entries.erase(index);
}

void SmsStore::removeAll(int upTo)
{
    const Status removable[] = {Status::ReceivedRead, Status::StoredSent, Status::StoredUnsent, Status::ReceivedUnread};
    std::erase_if(m_entries, [&](const auto &item) {
        const auto last = std::begin(removable) + std::clamp(upTo, 1, 4);
        return std::find(std::begin(removable), last, item.second.status) != last;
    });
}

QByteArray SmsStore::statusName(Status status)
{
    return StatusNames[int(status)];
}

std::optional<SmsStore::Status> SmsStore::statusNamed(const QByteArray &name)
{
    for (int i = 0; i < 5; ++i) {
        if (StatusNames[i] == name)
            return Status(i);
    }
    return std::nullopt;
}

void SmsStore::add(Status status, DeliveredSms sms)
{
    const int index = used() + 1;
    m_entries[index] = {index, status, std::move(sms)};
}

}
