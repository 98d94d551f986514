#pragma once

#include <QByteArray>
#include <chrono>
#include <cstdint>
#include <optional>

// The CM11/CM12 transmission handshake: the interface answers each
// transmission with the 8-bit sum of its bytes; the host confirms a right sum
// with 0x00 and sends the transmission again on anything else.
namespace x10 {

uint8_t Checksum(const QByteArray& payload);

class ExchangePort {
public:
    virtual ~ExchangePort() = default;
    virtual void Write(const QByteArray& bytes) = 0;
    // One read; waits up to `wait` for the first byte, returns at once with
    // what has arrived. nullopt when the port failed (the device has gone).
    virtual std::optional<QByteArray> Read(std::chrono::milliseconds wait) = 0;
};

// At most this many reads, and never less than MinimumWait from the start,
// so that a slow interface or a USB adapter's latency is not taken for silence.
constexpr int ReadLimit = 20000;
constexpr std::chrono::milliseconds MinimumWait{1000};
constexpr std::chrono::milliseconds WaitSlice{10};

enum class ExchangeResult { Acknowledged, NoAnswer };

// Runs after the payload was written once. A port that fails gives up at
// once: nothing can answer on it.
ExchangeResult RunChecksumExchange(ExchangePort& port, const QByteArray& payload);

}
