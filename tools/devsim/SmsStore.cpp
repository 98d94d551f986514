#include "devsim/SmsStore.h"

namespace devsim {

namespace {
const QByteArray StatusNames[] = {"REC UNREAD", "REC READ", "STO UNSENT", "STO SENT", "ALL"};
const QByteArray ServiceCentre = "+15550000";
}

SmsStore SmsStore::WithSamples()
{
    const auto at = [](const char* text) { return QDateTime::fromString(QString::fromLatin1(text), Qt::ISODate); };
    SmsStore store;
    store.Add(Status::ReceivedRead,
              {ServiceCentre, "+15550100", at("2024-01-15T10:30:00+01:00"),
               QStringLiteral("Welcome to the Wendale network")});
    store.Add(Status::ReceivedUnread,
              {ServiceCentre, "+15550199", at("2024-01-16T08:05:12+01:00"),
               QStringLiteral("Meeting moved to 10:30 [room 4]")});
    store.Add(Status::ReceivedUnread,
              {ServiceCentre, "5550123", at("2024-01-16T21:45:00-05:00"), QStringLiteral(u"Grüße ☺")});
    return store;
}

std::optional<SmsStore::Entry> SmsStore::Read(int index)
{
    const auto found = entries_.find(index);
    if (found == entries_.end())
        return std::nullopt;
    const Entry entry = found->second;
    if (entry.status == Status::ReceivedUnread)
        found->second.status = Status::ReceivedRead;
    return entry;
}

std::vector<SmsStore::Entry> SmsStore::List(Status status)
{
    std::vector<Entry> entries;
    for (const auto& [index, entry] : entries_) {
        if (status == Status::All || entry.status == status)
            entries.push_back(*Read(index));
    }
    return entries;
}

void SmsStore::Remove(int index)
{
    entries_.erase(index);
}

void SmsStore::RemoveAll(int upTo)
{
    const Status removable[] = {Status::ReceivedRead, Status::StoredSent, Status::StoredUnsent, Status::ReceivedUnread};
    std::erase_if(entries_, [&](const auto& item) {
        const auto last = std::begin(removable) + std::clamp(upTo, 1, 4);
        return std::find(std::begin(removable), last, item.second.status) != last;
    });
}

QByteArray SmsStore::StatusName(Status status)
{
    return StatusNames[int(status)];
}

std::optional<SmsStore::Status> SmsStore::StatusNamed(const QByteArray& name)
{
    for (int i = 0; i < 5; ++i) {
        if (StatusNames[i] == name)
            return Status(i);
    }
    return std::nullopt;
}

void SmsStore::Add(Status status, DeliveredSms sms)
{
    const int index = Used() + 1;
    entries_[index] = {index, status, std::move(sms)};
}

}
