#include "devsim/CreativeIrDevice.h"
#include "support/HostedDevice.h"

#include <QTest>

using namespace std::chrono_literals;
using devsim::CreativeIrDevice;

class tst_creativeir : public QObject {
    Q_OBJECT

private slots:
    void frames_data()
    {
        QTest::addColumn<quint8>("key");
        QTest::addColumn<QByteArray>("frame");
        QTest::newRow("PLAY") << quint8(0x67) << QByteArray::fromHex("4D056798AC21");
        QTest::newRow("STOP") << quint8(0xA7) << QByteArray::fromHex("4D05A758AC21");
        QTest::newRow("MUTE") << quint8(0x0B) << QByteArray::fromHex("4D050BF4AC21");
    }
    void frames()
    {
        QFETCH(quint8, key);
        QTEST(CreativeIrDevice::Frame(key), "frame");
    }

    void sendsFramesCyclingThroughKeys()
    {
        HostedDevice<CreativeIrDevice> receiver;
        receiver->SetFrameInterval(10ms);
        receiver.run();
        const auto& keys = CreativeIrDevice::Keys();
        const qsizetype frames = qsizetype(keys.size()) + 2;
        const QByteArray received = receiver.pty().receive(6 * frames);
        QVERIFY(received.size() >= 6 * frames);
        for (qsizetype i = 0; i < frames; ++i)
            QCOMPARE(received.mid(6 * i, 6), CreativeIrDevice::Frame(keys[size_t(i) % keys.size()]));
    }
};

QTEST_GUILESS_MAIN(tst_creativeir)
#include "tst_creativeir.moc"
