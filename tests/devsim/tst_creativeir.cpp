#include "devsim/CreativeIrDevice.h"
#include "support/HostedDevice.h"

#include <QTest>

using namespace std::chrono_literals;
using devsim::CreativeIrDevice;

class tst_creativeir : public QObject {
    Q_OBJECT

private slots:
    // Frames of the keys in turn (PLAY, STOP, ...), and round again.
    void sendsFramesCyclingThroughKeys()
    {
        HostedDevice<CreativeIrDevice> receiver;
        receiver->SetFrameInterval(10ms);
        receiver.run();
        const auto& keys = CreativeIrDevice::Keys();
        const qsizetype frames = qsizetype(keys.size()) + 2;
        const QByteArray received = receiver.pty().receive(6 * frames);
        QVERIFY(received.size() >= 6 * frames);
        QCOMPARE(received.left(12), QByteArray::fromHex("4D056798AC21" "4D05A758AC21"));
        for (qsizetype i = 0; i < frames; ++i)
            QCOMPARE(received.mid(6 * i, 6), CreativeIrDevice::Frame(keys[size_t(i) % keys.size()]));
    }
};

QTEST_GUILESS_MAIN(tst_creativeir)
#include "tst_creativeir.moc"
