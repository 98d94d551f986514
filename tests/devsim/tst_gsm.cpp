#include "GsmTerminal.h"
#include "PeerTerminal.h"

#include <QTest>

#include <thread>

using devsim::GsmTerminal;

class GsmTest : public QObject
{
    Q_OBJECT
private:
    // Sends each piece as a read of its own and returns everything the terminal answered.
    static QByteArray converse(DeviceRig<GsmTerminal> &rig, const QList<QByteArray> &pieces, const QByteArray &expected)
    {
        PeerTerminal &peer = *rig.peer;
        for (const QByteArray &piece : pieces) {
            if (!peer.send(piece))
                return "send failed";
            std::this_thread::sleep_for(20ms);
        }
        peer.waitForSize(expected.size());
        peer.collect(30ms);
        return peer.takeAll();
    }

private slots:
    void commands_data()
    {
        QTest::addColumn<QList<QByteArray>>("pieces");
        QTest::addColumn<QByteArray>("answer");
        const QByteArray ok = "\r\nOK\r\n";
        const QByteArray error = "\r\nERROR\r\n";
        QTest::newRow("AT") << QList<QByteArray>{"AT\r"} << "AT\r" + ok;
        QTest::newRow("split A | T") << QList<QByteArray>{"A", "T\r"} << "AT\r" + ok;
        QTest::newRow("two in one read") << QList<QByteArray>{"AT\rAT\r"} << "AT\r" + ok + "AT\r" + ok;
        QTest::newRow("CR LF") << QList<QByteArray>{"AT\r\n", "AT\r\n"} << "AT\r" + ok + "AT\r" + ok;
        QTest::newRow("lower case") << QList<QByteArray>{"at+cgmi\r"} << "at+cgmi\r\r\nWendale\r\n" + ok;
        QTest::newRow("echo off") << QList<QByteArray>{"ATE0\r", "AT\r"} << "ATE0\r" + ok + ok;
        QTest::newRow("echo off and on") << QList<QByteArray>{"ATE0\rATE1\rAT\r"} << "ATE0\r" + ok + ok + "AT\r" + ok;
        QTest::newRow("unknown") << QList<QByteArray>{"AT+FOO\r"} << "AT+FOO\r" + error;
        QTest::newRow("no AT") << QList<QByteArray>{"HELLO\r"} << "HELLO\r" + error;
        QTest::newRow("empty line") << QList<QByteArray>{"\r", "AT\r"} << "\rAT\r" + ok;
        QTest::newRow("numeric") << QList<QByteArray>{"ATV0\r", "ATI\r", "AT+X\r"}
                                 << QByteArray("ATV0\r0\rATI\rWendale DevSim GSM\r\n0\rAT+X\r4\r");
        QTest::newRow("backspace") << QList<QByteArray>{"ATX\bI\r"} << "ATX\bI\r\r\nWendale DevSim GSM\r\n" + ok;
        QTest::newRow("basic commands joined") << QList<QByteArray>{"ATE0V1\r", "AT\r"} << "ATE0V1\r" + ok + ok;
        QTest::newRow("chain") << QList<QByteArray>{"AT+CMGF=1;+CSQ\r"} << "AT+CMGF=1;+CSQ\r\r\n+CSQ: 21,0\r\n" + ok;
        QTest::newRow("chain stops at error") << QList<QByteArray>{"AT+CSQ;+BAD;+CGMI\r"}
                                              << "AT+CSQ;+BAD;+CGMI\r\r\n+CSQ: 21,0\r\n" + error;
        QTest::newRow("queries") << QList<QByteArray>{"AT+CREG?;+CPIN?\r"}
                                 << "AT+CREG?;+CPIN?\r\r\n+CREG: 0,1\r\n\r\n+CPIN: READY\r\n" + ok;
        QTest::newRow("message format") << QList<QByteArray>{"AT+CMGF=0;+CMGF?\r"} << "AT+CMGF=0;+CMGF?\r\r\n+CMGF: 0\r\n" + ok;
        QTest::newRow("bad format") << QList<QByteArray>{"AT+CMGF=2\r"} << "AT+CMGF=2\r" + error;
        QTest::newRow("error reports") << QList<QByteArray>{"AT+CMEE=2;+CMEE?\r"} << "AT+CMEE=2;+CMEE?\r\r\n+CMEE: 2\r\n" + ok;
        QTest::newRow("identity") << QList<QByteArray>{"AT+CGMM;+CGMR;+CGSN\r"}
                                  << "AT+CGMM;+CGMR;+CGSN\r\r\nDevSim GSM\r\n\r\nRevision 1.0\r\n\r\n490154203237518\r\n" + ok;
        QTest::newRow("too long") << QList<QByteArray>{"AT" + QByteArray(600, 'E') + "\r", "AT\r"}
                                  << "AT" + QByteArray(600, 'E') + "\r" + error + "AT\r" + ok;
        QTest::newRow("send in PDU mode") << QList<QByteArray>{"AT+CMGF=0\r", "AT+CMGS=\"123\"\r"}
                                          << "AT+CMGF=0\r" + ok + "AT+CMGS=\"123\"\r" + error;
    }

    void commands()
    {
        QFETCH(QList<QByteArray>, pieces);
        QFETCH(QByteArray, answer);
        DeviceRig<GsmTerminal> rig;
        rig.run();
        QCOMPARE(converse(rig, pieces, answer), answer);
    }

    void sendsTextMessage()
    {
        DeviceRig<GsmTerminal> rig;
        rig.run();
        const QByteArray command = "at+cmgs=\"+4412345\"\r";
        QCOMPARE(converse(rig, {command}, command + "\r\n> "), command + "\r\n> ");
        QCOMPARE(converse(rig, {"Hi\r\n"}, "Hi\r\n> "), QByteArray("Hi\r\n> "));
        const QByteArray sent = "there\r\n+CMGS: 1\r\n\r\nOK\r\n";
        QCOMPARE(converse(rig, {"ther", "e\x1a"}, sent), sent);
        const auto messages = rig.device.messages();
        QCOMPARE(messages.size(), size_t(1));
        QCOMPARE(messages.front().number, QByteArray("+4412345"));
        QCOMPARE(messages.front().text, QByteArray("Hi\nthere"));
        QCOMPARE(converse(rig, {"AT\r"}, "AT\r\r\nOK\r\n"), QByteArray("AT\r\r\nOK\r\n"));
    }

    void escapeAbortsMessage()
    {
        DeviceRig<GsmTerminal> rig;
        rig.run();
        const QByteArray expected = "AT+CMGS=\"1\"\r\r\n> abc\r\nOK\r\n";
        QCOMPARE(converse(rig, {"AT+CMGS=\"1\"\r", "abc\x1b"}, expected), expected);
        QVERIFY(rig.device.messages().empty());
    }
};

QTEST_GUILESS_MAIN(GsmTest)
#include "tst_gsm.moc"
