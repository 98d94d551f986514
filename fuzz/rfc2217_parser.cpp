// Fuzzes the client side of RFC 2217 with whatever a server might send. The
// first input byte chooses the size of the pieces the rest arrives in and
// whether the client has asked for the line settings; the rest is the
// server's bytes. However they come, the client holds no more than one
// bounded subnegotiation, and hands on and answers no more than it was sent.
#include "port/Rfc2217Protocol.h"

#include <QByteArrayView>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

using rfc2217::ClientProtocol;

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const size_t piece = 1 + data[0] % 64;
    ClientProtocol protocol;
    protocol.TakeOutgoing();
    if (data[0] & 0x40) {
        protocol.WatchModemLines();
        protocol.RequestSettings({});
        protocol.TakeOutgoing();
    }
    qsizetype received = 0, handedOn = 0, answered = 0;
    for (size_t at = 1; at < size; at += piece) {
        const QByteArrayView bytes(reinterpret_cast<const char*>(data + at), qsizetype(std::min(piece, size - at)));
        protocol.Receive(bytes);
        received += bytes.size();
        handedOn += protocol.TakeData().size();
        answered += protocol.TakeOutgoing().size();
        Check(protocol.Held() <= ClientProtocol::MaxSubnegotiation);
        Check(handedOn <= received && answered <= received);
        Check((protocol.ModemState() & 0x0F) == 0);
    }
    if (const auto answer = protocol.Answer()) {
        if (const auto settings = rfc2217::Decode(*answer))
            Check(settings->dataBits >= 5 && settings->dataBits <= 8 && settings->bitRate == answer->baudRate);
    }
    return 0;
}
