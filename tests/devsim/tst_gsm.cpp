#include "devsim/GsmTerminal.h"
#include "support/HostedDevice.h"

#include <QTest>

#include <thread>

using namespace std::chrono_literals;
using devsim::GsmTerminal;

namespace {

// Sends each piece as a read of its own and returns everything the terminal answered.
QByteArray Converse(HostedDevice<GsmTerminal>& gsm, const QList<QByteArray>& pieces, const QByteArray& expected)
{
    for (const QByteArray& piece : pieces) {
        if (!gsm.pty().send(piece))
            return "send failed";
        std::this_thread::sleep_for(20ms);
    }
    const QByteArray answer = gsm.pty().receive(expected.size());
    return answer + gsm.pty().receive(1, 30);
}


}

class tst_gsm : public QObject {
    Q_OBJECT

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
        QTest::newRow("chain stops at error")
            << QList<QByteArray>{"AT+CSQ;+BAD;+CGMI\r"} << "AT+CSQ;+BAD;+CGMI\r\r\n+CSQ: 21,0\r\n" + error;
        QTest::newRow("queries") << QList<QByteArray>{"AT+CREG?;+CPIN?\r"}
                                 << "AT+CREG?;+CPIN?\r\r\n+CREG: 0,1\r\n\r\n+CPIN: READY\r\n" + ok;
        QTest::newRow("message format") << QList<QByteArray>{"AT+CMGF=0;+CMGF?\r"}
                                        << "AT+CMGF=0;+CMGF?\r\r\n+CMGF: 0\r\n" + ok;
        QTest::newRow("bad format") << QList<QByteArray>{"AT+CMGF=2\r"} << "AT+CMGF=2\r" + error;
        QTest::newRow("error reports") << QList<QByteArray>{"AT+CMEE=2;+CMEE?\r"}
                                       << "AT+CMEE=2;+CMEE?\r\r\n+CMEE: 2\r\n" + ok;
        QTest::newRow("identity")
            << QList<QByteArray>{"AT+CGMM;+CGMR;+CGSN\r"}
            << "AT+CGMM;+CGMR;+CGSN\r\r\nDevSim GSM\r\n\r\nRevision 1.0\r\n\r\n490154203237518\r\n" + ok;
        QTest::newRow("quoted number in PDU mode") << QList<QByteArray>{"AT+CMGF=0\r", "AT+CMGS=\"123\"\r"}
                                                   << "AT+CMGF=0\r" + ok + "AT+CMGS=\"123\"\r" + error;
        // Reading marks a message read; a UCS2 message shows as hex in text mode.
        QTest::newRow("unread messages")
            << QList<QByteArray>{"AT+CMGL\r", "AT+CMGL=\"REC UNREAD\"\r"}
            << "AT+CMGL\r\r\n+CMGL: 2,\"REC UNREAD\",\"+15550199\",,\"24/01/16,08:05:12+04\"\r\nMeeting moved to 10:30 "
               "[room 4]"
               "\r\n+CMGL: 3,\"REC UNREAD\",\"5550123\",,\"24/01/16,21:45:00-20\"\r\n0047007200FC00DF00650020263A\r\n"
                + ok + "AT+CMGL=\"REC UNREAD\"\r" + ok;
        QTest::newRow("read with details")
            << QList<QByteArray>{"AT+CSDH=1;+CMGR=1\r"}
            << "AT+CSDH=1;+CMGR=1\r\r\n+CMGR: \"REC "
               "READ\",\"+15550100\",,\"24/01/15,10:30:00+04\",145,4,0,0,\"+15550000\",145,30"
               "\r\nWelcome to the Wendale network\r\n"
                + ok;
        QTest::newRow("delete") << QList<QByteArray>{"AT+CMGD=1;+CMGR=1\r"} << "AT+CMGD=1;+CMGR=1\r" + error;
        QTest::newRow("CME and CMS errors")
            << QList<QByteArray>{"AT+CMEE=1;+CMGR=21\r", "AT+CMEE=2;+CSCS=\"KOI8\"\r"}
            << QByteArray("AT+CMEE=1;+CMGR=21\r\r\n+CMS ERROR: 321\r\nAT+CMEE=2;+CSCS=\"KOI8\"\r\r\n+CME ERROR: "
                          "operation not supported\r\n");
        QTest::newRow("UCS2 strings")
            << QList<QByteArray>{"AT+CSCS=\"UCS2\";+CSCA?\r"}
            << "AT+CSCS=\"UCS2\";+CSCA?\r\r\n+CSCA: \"002B00310035003500350030003000300030\",145\r\n" + ok;
        QTest::newRow("network")
            << QList<QByteArray>{"AT+COPS=3,2;+COPS?;+CREG=2;+CREG?\r"}
            << "AT+COPS=3,2;+COPS?;+CREG=2;+CREG?\r\r\n+COPS: 0,2,\"00101\"\r\n\r\n+CREG: 2,1,\"00C3\",\"1A2B\"\r\n"
                + ok;
        QTest::newRow("memory") << QList<QByteArray>{"AT+CPMS=\"SM\",\"SM\";+CPMS?\r", "AT+CPMS=\"ME\"\r"}
                                << "AT+CPMS=\"SM\",\"SM\";+CPMS?\r\r\n+CPMS: 3,20,3,20,3,20\r\n\r\n+CPMS: "
                                   "\"SM\",3,20,\"SM\",3,20,\"SM\",3,20\r\n"
                + ok + "AT+CPMS=\"ME\"\r" + error;
        QTest::newRow("reset") << QList<QByteArray>{"AT+CMGF=0;E0\r", "ATZ;+CMGF?\r"}
                               << "AT+CMGF=0;E0\r" + ok + "\r\n+CMGF: 1\r\n" + ok;
    }

    void commands()
    {
        QFETCH(QList<QByteArray>, pieces);
        QFETCH(QByteArray, answer);
        HostedDevice<GsmTerminal> gsm;
        gsm.run();
        QCOMPARE(Converse(gsm, pieces, answer), answer);
    }

    // Whatever comes, the terminal answers ERROR or ignores it, and answers the next command.
    void badInput_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::newRow("no name") << QByteArray("AT+=1\r");
        QTest::newRow("unclosed quote") << QByteArray("AT+CMGS=\"123\r");
        QTest::newRow("text after a quote") << QByteArray("AT+CSCS=\"GSM\"X\r");
        QTest::newRow("setting left out") << QByteArray("AT+CMGF=\r");
        QTest::newRow("letters for a number") << QByteArray("AT+CMGR=abc\r");
        QTest::newRow("10 000 characters") << "AT" + QByteArray(10000, 'E') + "\r";
        QByteArray garbage;
        for (int i = 0; i < 1024; ++i)
            garbage += char(i * 37 % 256);
        QTest::newRow("binary garbage") << garbage + "\r";
    }

    void badInput()
    {
        QFETCH(QByteArray, input);
        HostedDevice<GsmTerminal> gsm;
        gsm.run();
        const QByteArray next = "\r\nERROR\r\nAT\r\r\nOK\r\n";
        QVERIFY(gsm.pty().send(input + "AT\r"));
        QVERIFY(gsm.pty().receiveUntil(next).endsWith(next));
    }

    void clientLeavesMidCommand_data()
    {
        QTest::addColumn<QByteArray>("unfinished");
        QTest::newRow("command line") << QByteArray("AT+CG");
        QTest::newRow("message") << QByteArray("AT+CMGS=\"1\"\rhal");
    }

    void clientLeavesMidCommand()
    {
        QFETCH(QByteArray, unfinished);
        HostedDevice<GsmTerminal> gsm;
        gsm->SetQuietTime(100ms);
        gsm.run();
        QVERIFY(gsm.pty().send(unfinished));
        std::this_thread::sleep_for(300ms);
        gsm.pty().receiveAvailable();
        QCOMPARE(Converse(gsm, {"AT\r"}, "AT\r\r\nOK\r\n"), QByteArray("AT\r\r\nOK\r\n"));
    }

    void sendsTextMessage()
    {
        HostedDevice<GsmTerminal> gsm;
        gsm.run();
        const QByteArray command = "at+cmgs=\"+4412345\"\r";
        QCOMPARE(Converse(gsm, {command}, command + "\r\n> "), command + "\r\n> ");
        QCOMPARE(Converse(gsm, {"Hi\r\n"}, "Hi\r\n> "), QByteArray("Hi\r\n> "));
        const QByteArray sent = "there\r\n+CMGS: 1\r\n\r\nOK\r\n";
        QCOMPARE(Converse(gsm, {"ther", "e\x1a"}, sent), sent);
        const auto messages = gsm->Messages();
        QCOMPARE(messages.size(), size_t(1));
        QCOMPARE(messages.front().number, QByteArray("+4412345"));
        QCOMPARE(messages.front().text, QStringLiteral("Hi\nthere"));
        QCOMPARE(Converse(gsm, {"AT\r"}, "AT\r\r\nOK\r\n"), QByteArray("AT\r\r\nOK\r\n"));
    }

    void escapeAbortsMessage()
    {
        HostedDevice<GsmTerminal> gsm;
        gsm.run();
        const QByteArray expected = "AT+CMGS=\"1\"\r\r\n> abc\r\nOK\r\n";
        QCOMPARE(Converse(gsm, {"AT+CMGS=\"1\"\r", "abc\x1b"}, expected), expected);
        QVERIFY(gsm->Messages().empty());
    }
};

QTEST_GUILESS_MAIN(tst_gsm)
#include "tst_gsm.moc"
