#include "port/Rfc2217Protocol.h"
#include "support/TelnetBytes.h"

#include <QTest>

using rfc2217::ClientProtocol;

namespace {

constexpr uint8_t TERMINAL_TYPE = 24;
constexpr int NotifyLineState = 106, NotifyModemState = 107;

// A subnegotiation of an option the client does not read.
QByteArray OtherSub(const QByteArray& body)
{
    return Sub(body).replace(2, 1, QByteArray(1, char(TERMINAL_TYPE)));
}

// A subnegotiation of the COM port option whose body is size bytes long.
QByteArray LongReply(int code, qsizetype size)
{
    return Sub(char(code) + QByteArray(size - 2, '\x10'));
}

}

class tst_RemotePorts : public QObject {
    Q_OBJECT

private slots:
    // What the server sends, whole or a byte at a time: the data the program reads, what the client
    // answers, whether the port can be used, and the most held at once (-1: not looked at). A
    // subnegotiation the client does not read is never held, one it reads up to the limit, then it is data.
    void serverBytes_data()
    {
        QTest::addColumn<QByteArray>("server");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("modemState");
        QTest::addColumn<int>("mostHeld");
        const QByteArray none;
        const int ready = int(ClientProtocol::Negotiation::Ready);
        const int pending = int(ClientProtocol::Negotiation::Pending);
        const int refused = int(ClientProtocol::Negotiation::Refused);
        QTest::newRow("ser2net's opening: SGA taken, echo declined")
            << Bytes({IAC, WILL, SGA, IAC, DO, SGA, IAC, WILL, TELNET_ECHO, IAC, DONT, TELNET_ECHO}) + Agreement
            << none << Bytes({IAC, DO, SGA, IAC, WILL, SGA, IAC, DONT, TELNET_ECHO}) << ready << 0 << -1;
        QTest::newRow("COM port option refused") << NoComPort << none << none << refused << 0 << -1;
        QTest::newRow("binary refused one way") << Bytes({IAC, WONT, BINARY}) << none << none << refused << 0 << -1;
        QTest::newRow("every byte value, 0xFF doubled") << EveryByte().insert(255, '\xff') << EveryByte() << none
                                                        << pending << 0 << -1;
        QTest::newRow("commands amid data") << "a" + Bytes({IAC, NOP}) + "b" + Sub(Bytes({107, 0xB3})) + "c"
                                            << QByteArray("abc") << none << pending << 0xB0 << -1;
        QTest::newRow("0xFF doubled in a command") << Sub(Bytes({107, 0xFF})) << none << none << pending << 0xF0 << -1;
        const auto bounded = [pending](const char* name, const QByteArray& server, const QByteArray& data, int mostHeld,
                                       int modemState = 0) {
            QTest::newRow(name) << server << data << QByteArray() << pending << modemState << mostHeld;
        };
        const int limit = int(ClientProtocol::MaxSubnegotiation);
        bounded("modem state at the limit is read", LongReply(NotifyModemState, limit) + "ok", "ok", limit, 0x10);
        bounded("modem state past the limit: the rest is data", LongReply(NotifyModemState, limit + 1) + "ok", "\x10ok",
                limit);
        bounded("modem state without end, then a real one",
                Bytes({IAC, SB, COM_PORT, NotifyModemState}) + QByteArray(3000, 'x') + "ok"
                    + Sub(Bytes({NotifyModemState, 0xB0})),
                QByteArray(3000 - (limit - 2), 'x') + "ok", limit, 0xB0);
        bounded("another option: never held", OtherSub(QByteArray(500, 'x')) + "ok", "ok", 0);
        bounded("another option without end", Bytes({IAC, SB, TERMINAL_TYPE}) + QByteArray(2000, 'y') + "ok",
                QByteArray(2000 - (limit - 1), 'y') + "ok", 0);
        bounded("a code not read: only the option held", LongReply(NotifyLineState, 500) + "ok", "ok", 1);
        bounded("a doubled 0xFF does not end a skipped one", OtherSub(Bytes({IAC, SE, 'x'})) + "ok", "ok", 0);
    }

    void serverBytes()
    {
        QFETCH(QByteArray, server);
        QFETCH(int, mostHeld);
        for (const qsizetype piece : {server.size(), qsizetype(1)}) {
            ClientProtocol protocol;
            QCOMPARE(protocol.TakeOutgoing(), Bytes({IAC, WILL, BINARY, IAC, DO, BINARY, IAC, WILL, COM_PORT}));
            QByteArray got;
            qsizetype held = 0;
            for (qsizetype at = 0; at < server.size(); at += piece) {
                protocol.Receive(server.mid(at, piece));
                held = std::max(held, protocol.Held());
                got += protocol.TakeData();
            }
            if (piece == 1 && mostHeld >= 0)
                QCOMPARE(int(held), mostHeld);
            QCOMPARE(protocol.Held(), 0);
            QTEST(got, "data");
            QTEST(protocol.TakeOutgoing(), "answer");
            QTEST(int(protocol.State()), "state");
            QTEST(int(protocol.ModemState()), "modemState");
        }
    }

    void settingsAndTheirAnswers()
    {
        // IAC bytes in a value are doubled too.
        const serialdevice::LineSettings wanted{.bitRate = 0xFFFF, .dataBits = 5, .parity = serialdevice::Parity::Mark,
                                                .extraStopBit = true, .rtsCts = true};
        ClientProtocol protocol;
        protocol.TakeOutgoing();
        protocol.RequestSettings(rfc2217::Encode(wanted));
        QCOMPARE(protocol.TakeOutgoing(), Sub(Bytes({1, 0, 0, 0xFF, 0xFF})) + Sub(Bytes({2, 5}))
                     + Sub(Bytes({3, 4})) + Sub(Bytes({4, 3})) + Sub(Bytes({5, 3})));
        // Answered in full: DTR's answer is no flow-control answer.
        protocol.Receive(Sub(Bytes({101, 0, 0, 0xFF, 0xFF})) + Sub(Bytes({102, 5})) + Sub(Bytes({103, 4}))
                         + Sub(Bytes({104, 3})) + Sub(Bytes({105, 8})));
        QVERIFY(!protocol.Answer());
        protocol.Receive(Sub(Bytes({105, 3})));
        QVERIFY(protocol.Answer() == rfc2217::Encode(wanted));
        protocol.SetLine(serialdevice::ModemLine::Dtr, true);
        protocol.SetLine(serialdevice::ModemLine::Rts, false);
        protocol.SetLine(serialdevice::ModemLine::Break, true);
        protocol.SetLine(serialdevice::ModemLine::Break, false);
        QCOMPARE(protocol.TakeOutgoing(),
                 Sub(Bytes({5, 8})) + Sub(Bytes({5, 12})) + Sub(Bytes({5, 5})) + Sub(Bytes({5, 6})));
        // The fastest rate typed goes out whole, in 32 bits.
        protocol.RequestSettings(rfc2217::Encode({.bitRate = 12'000'000}));
        QVERIFY(protocol.TakeOutgoing().startsWith(Sub(Bytes({1, 0x00, 0xB7, 0x1B, 0x00}))));
    }
};

QTEST_MAIN(tst_RemotePorts)
#include "tst_RemotePorts.moc"
