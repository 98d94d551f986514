#include "devsim/GsmTerminal.h"
#include "devsim/SmsPdu.h"
#include "support/HostedDevice.h"

#include <QTest>

#include <thread>

using namespace std::chrono_literals;
using namespace devsim;

class tst_Gsm : public QObject {
    Q_OBJECT

private slots:
    // What the terminal answers, and the message it sent ("number: text") if any.
    void commands_data()
    {
        QTest::addColumn<QList<QByteArray>>("pieces");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QStringList>("sent");
        const QByteArray ok = "\r\nOK\r\n";
        const QByteArray error = "\r\nERROR\r\n";
        const auto row = [](const char* name, const QList<QByteArray>& pieces, const QByteArray& answer,
                            const QStringList& sent = {}) { QTest::newRow(name) << pieces << answer << sent; };
        row("split A | T", {"A", "T\r"}, "AT\r" + ok);
        row("echo off and on", {"ATE0\rATE1\rAT\r"}, "ATE0\r" + ok + ok + "AT\r" + ok);
        row("unknown", {"AT+FOO\r"}, "AT+FOO\r" + error);
        row("numeric", {"ATV0\r", "ATI\r", "AT+X\r"}, "ATV0\r0\rATI\rWendale DevSim GSM\r\n0\rAT+X\r4\r");
        row("error reports", {"AT+CMEE=2;+CMEE?\r"}, "AT+CMEE=2;+CMEE?\r\r\n+CMEE: 2\r\n" + ok);
        row("quoted number in PDU mode", {"AT+CMGF=0\r", "AT+CMGS=\"123\"\r"},
            "AT+CMGF=0\r" + ok + "AT+CMGS=\"123\"\r" + error);
        row("read with details", {"AT+CSDH=1;+CMGR=1\r"},
            "AT+CSDH=1;+CMGR=1\r\r\n"
            "+CMGR: \"REC READ\",\"+15550100\",,\"24/01/15,10:30:00+04\",145,4,0,0,\"+15550000\",145,30\r\n"
            "Welcome to the Wendale network\r\n"
                + ok);
        row("delete", {"AT+CMGD=1;+CMGR=1\r"}, "AT+CMGD=1;+CMGR=1\r" + error);
        row("CME and CMS errors", {"AT+CMEE=1;+CMGR=21\r", "AT+CMEE=2;+CSCS=\"KOI8\"\r"},
            "AT+CMEE=1;+CMGR=21\r\r\n+CMS ERROR: 321\r\n"
            "AT+CMEE=2;+CSCS=\"KOI8\"\r\r\n+CME ERROR: operation not supported\r\n");
        row("UCS2 strings", {"AT+CSCS=\"UCS2\";+CSCA?\r"},
            "AT+CSCS=\"UCS2\";+CSCA?\r\r\n+CSCA: \"002B00310035003500350030003000300030\",145\r\n" + ok);
        row("reset", {"AT+CMGF=0;E0\r", "ATZ;+CMGF?\r"}, "AT+CMGF=0;E0\r" + ok + "\r\n+CMGF: 1\r\n" + ok);
        row("text message", {"at+cmgs=\"+4412345\"\r", "Hi\r\n", "ther", "e\x1a", "AT\r"},
            "at+cmgs=\"+4412345\"\r\r\n> Hi\r\n> there\r\n+CMGS: 1\r\n" + ok + "AT\r" + ok, {"+4412345: Hi\nthere"});
        row("escape aborts a message", {"AT+CMGS=\"1\"\r", "abc\x1b"}, "AT+CMGS=\"1\"\r\r\n> abc\r\nOK\r\n");
    }
    void commands()
    {
        QFETCH(QList<QByteArray>, pieces);
        QFETCH(QByteArray, answer);
        HostedDevice<GsmTerminal> gsm;
        gsm.Run();
        for (const QByteArray& piece : pieces) { // each a read of its own
            QVERIFY(gsm.Pty().Send(piece));
            std::this_thread::sleep_for(20ms);
        }
        QByteArray got = gsm.Pty().Receive(answer.size());
        QCOMPARE(got + gsm.Pty().Receive(1, 30), answer);
        QStringList messages;
        for (const auto& m : gsm->Messages())
            messages << QString::fromLatin1(m.number) + ": " + m.text;
        QTEST(messages, "sent");
    }

    // Whatever comes is answered ERROR or ignored, also a command or message left unfinished.
    void badInput_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<bool>("leaves"); // the client goes quiet after the input
        QTest::newRow("unclosed quote") << QByteArray("AT+CMGS=\"123\r") << false;
        QTest::newRow("10 000 characters") << "AT" + QByteArray(10000, 'E') + "\r" << false;
        QByteArray garbage;
        for (int i = 0; i < 1024; ++i)
            garbage += char(i * 37 % 256);
        QTest::newRow("binary garbage") << garbage + "\r" << false;
        QTest::newRow("left mid-command") << QByteArray("AT+CG") << true;
        QTest::newRow("left mid-message") << QByteArray("AT+CMGS=\"1\"\rhal") << true;
    }
    void badInput()
    {
        QFETCH(QByteArray, input);
        QFETCH(bool, leaves);
        HostedDevice<GsmTerminal> gsm;
        gsm->SetQuietTime(100ms);
        gsm.Run();
        QVERIFY(gsm.Pty().Send(leaves ? input : input + "AT\r"));
        if (leaves) {
            std::this_thread::sleep_for(300ms);
            gsm.Pty().ReceiveAvailable();
            QVERIFY(gsm.Pty().Send("AT\r"));
        }
        const QByteArray next = QByteArray(leaves ? "" : "\r\nERROR\r\n") + "AT\r\r\nOK\r\n";
        QVERIFY(gsm.Pty().ReceiveUntil(next).endsWith(next));
    }

    void decodesSubmitted_data()
    {
        QTest::addColumn<QByteArray>("hex");
        QTest::addColumn<int>("length");
        QTest::addColumn<QByteArray>("centre");
        QTest::addColumn<QByteArray>("destination");
        QTest::addColumn<QString>("text"); // null: refused
        const auto row = [](const char* name, const char* hex, int length, const char* centre = "",
                            const char* destination = "", const QString& text = {}) {
            QTest::newRow(name) << QByteArray(hex) << length << QByteArray(centre) << QByteArray(destination) << text;
        };
        const char gammu[] = "05915155000011000781550521F30000FF10C8329BFD0699E5EF36E81C6EB7EB";
        // As the phone tools sent them (plain ones: the phone-tool test).
        row("gammu, part 2 of a long message: header and fill bits",
            "05915155000051000781550521F30000FF2A0500039E0202E0EC347DE30331DFEE33885EC6D3411BDE1CCE4ED3373E10F3ED3E83E8"
            "653C",
            49, "+15550000", "5550123", QStringLiteral("plit] Long text [split] Long tex"));
        row("gammu, UCS2", "05915155000011000891515510990008FF0E0047007200FC00DF00650020263A", 26, "+15550000",
            "+15550199", QStringLiteral(u"Grüße ☺"));
        row("length disagrees", gammu, 25);
        row("user data cut short", "05915155000011000781550521F30000FF10C8329BFD0699E5EF36E81C6EB7", 25);
        row("not hex", "0011000781550521F30000FF01ZZ", 13);
        row("a delivered message", "0591515500000408915155100000004210510103000A0AE8329BFD4697D9EC37", 26);
    }

    void decodesSubmitted()
    {
        QFETCH(QByteArray, hex);
        QFETCH(int, length);
        QFETCH(QString, text);
        const auto sms = DecodeSubmitted(hex, length);
        QCOMPARE(sms.has_value(), !text.isNull());
        if (!sms)
            return;
        QTEST(sms->serviceCentre, "centre");
        QTEST(sms->destination, "destination");
        QCOMPARE(sms->text, text);
    }

    void encodesDelivered()
    {
        // 7-bit "hellohello" from +15550100 at 2024-01-15 10:30:00, five hours behind UTC.
        const DeliveredSms sms{"+15550000", "+15550100",
                               QDateTime::fromString(QStringLiteral("2024-01-15T10:30:00-05:00"), Qt::ISODate),
                               QStringLiteral("hellohello")};
        const Pdu pdu = EncodeDelivered(sms);
        QCOMPARE(pdu.hex, QByteArray("0591515500000408915155100000004210510103000A0AE8329BFD4697D9EC37"));
        QCOMPARE(pdu.tpduLength, 26);
    }
};

QTEST_GUILESS_MAIN(tst_Gsm)
#include "tst_Gsm.moc"
