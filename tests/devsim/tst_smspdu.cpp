#include "devsim/SmsPdu.h"

#include <QTest>

using namespace devsim;

class tst_smspdu : public QObject {
    Q_OBJECT

private slots:
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
        // As the phone tools sent them to the terminal.
        row("gammu, 7-bit, relative validity", gammu, 26, "+15550000", "5550123", QStringLiteral("Hello from gammu"));
        row("gsmsendsms, no service centre", "0015000781550521F30000A815C8329BFD0699E5EF36E83C6FCFCB6EF2BC3D07", 31, "",
            "5550123", QStringLiteral("Hello from gsmsendsms"));
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

QTEST_GUILESS_MAIN(tst_smspdu)
#include "tst_smspdu.moc"
