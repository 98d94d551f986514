#include "port/Rfc2217Protocol.h"
#include "support/TelnetBytes.h"

#include <QTest>

using rfc2217::ClientProtocol;

class tst_RemotePorts : public QObject {
    Q_OBJECT

private slots:
    // What the server sends, whole or a byte at a time: the data the program
    // reads, what the client answers, and whether the port can be used.
    void serverBytes_data()
    {
        QTest::addColumn<QByteArray>("server");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("modemState");
        const QByteArray none;
        const int ready = int(ClientProtocol::Negotiation::Ready);
        const int pending = int(ClientProtocol::Negotiation::Pending);
        const int refused = int(ClientProtocol::Negotiation::Refused);
        QTest::newRow("ser2net's opening: SGA taken, echo declined")
            << Bytes({IAC, WILL, SGA, IAC, DO, SGA, IAC, WILL, TELNET_ECHO, IAC, DONT, TELNET_ECHO}) + Agreement
            << none << Bytes({IAC, DO, SGA, IAC, WILL, SGA, IAC, DONT, TELNET_ECHO}) << ready << 0;
        QTest::newRow("COM port option refused") << NoComPort << none << none << refused << 0;
        QTest::newRow("binary refused one way") << Bytes({IAC, WONT, BINARY}) << none << none << refused << 0;
        QTest::newRow("every byte value, 0xFF doubled") << EveryByte().insert(255, '\xff') << EveryByte() << none
                                                        << pending << 0;
        QTest::newRow("commands amid data") << "a" + Bytes({IAC, NOP}) + "b" + Sub(Bytes({107, 0xB3})) + "c"
                                            << QByteArray("abc") << none << pending << 0xB0;
        QTest::newRow("0xFF doubled in a command") << Sub(Bytes({107, 0xFF})) << none << none << pending << 0xF0;
    }

    void serverBytes()
    {
        QFETCH(QByteArray, server);
        QFETCH(QByteArray, data);
        QFETCH(QByteArray, answer);
        QFETCH(int, state);
        QFETCH(int, modemState);
        for (const qsizetype piece : {server.size(), qsizetype(1)}) {
            ClientProtocol protocol;
            QCOMPARE(protocol.TakeOutgoing(), Bytes({IAC, WILL, BINARY, IAC, DO, BINARY, IAC, WILL, COM_PORT}));
            QByteArray got;
            for (qsizetype at = 0; at < server.size(); at += piece) {
                protocol.Receive(server.mid(at, piece));
                got += protocol.TakeData();
            }
            QCOMPARE(got, data);
            QCOMPARE(protocol.TakeOutgoing(), answer);
            QCOMPARE(int(protocol.State()), state);
            QCOMPARE(int(protocol.ModemState()), modemState);
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
