#pragma once

#include "devsim/SmsPdu.h"

#include <map>
#include <optional>
#include <vector>

namespace devsim {

// The messages kept in the phone's message memory ("SM"), by index from 1.
// Reading a received message marks it read, as a phone does.
class SmsStore {
public:
    // The <stat> values of the message commands; the text forms are StatusName().
    enum class Status { ReceivedUnread = 0, ReceivedRead = 1, StoredUnsent = 2, StoredSent = 3, All = 4 };

    struct Entry {
        int index = 0;
        Status status = Status::ReceivedUnread;
        DeliveredSms sms;
    };

    static constexpr int Capacity = 20;

    // A few messages for the listing commands to show.
    static SmsStore WithSamples();

    int Used() const { return int(entries_.size()); }
    bool IsValidIndex(int index) const { return index >= 1 && index <= Capacity; }
    // The entry as it was before reading, or nothing for an empty place.
    std::optional<Entry> Read(int index);
    // Every entry of the status (All: every entry), in index order, each marked read.
    std::vector<Entry> List(Status status);
    void Remove(int index);
    // 1 read, 2 read and sent, 3 read, sent and unsent, 4 all, as +CMGD's <delflag> counts.
    void RemoveAll(int upTo);

    static QByteArray StatusName(Status status);
    static std::optional<Status> StatusNamed(const QByteArray& name);

private:
    void Add(Status status, DeliveredSms sms);

    std::map<int, Entry> entries_;
};

}
