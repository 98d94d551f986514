#include "x10/ChecksumExchange.h"

#include <algorithm>

namespace x10 {

uint8_t Checksum(const QByteArray& payload)
{
    uint8_t sum = 0;
    for (const char byte : payload)
        sum = static_cast<uint8_t>(sum + static_cast<uint8_t>(byte));
    return sum;
}

ExchangeResult RunChecksumExchange(ExchangePort& port, const QByteArray& payload)
{
    using clock = std::chrono::steady_clock;
    const char expected = static_cast<char>(Checksum(payload));
    const auto deadline = clock::now() + MinimumWait;
    int reads = 0;
    for (;;) {
        QByteArray reply;
        while (reply.isEmpty()) {
            const auto now = clock::now();
            if (++reads > ReadLimit && now >= deadline)
                return ExchangeResult::NoAnswer;
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now);
            const auto read = port.Read(std::clamp(left, std::chrono::milliseconds{0}, WaitSlice));
            if (!read)
                return ExchangeResult::NoAnswer;
            reply = *read;
        }
        if (reply.size() == 1 && reply.at(0) == expected) {
            port.Write(QByteArray(1, '\0'));
            return ExchangeResult::Acknowledged;
        }
        port.Write(payload);
    }
}

}
