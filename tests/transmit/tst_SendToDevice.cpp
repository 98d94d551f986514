#include "app/frmMain.h"
#include "devsim/TalkerDevice.h"
#include "monitor/ReceiveView.h"
#include "support/HostedDevice.h"
#include "support/MessageRecorder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace std::chrono_literals;

namespace {

// The window connected (Generic) to a talker that only echoes.
class ConnectedTalker {
public:
    ConnectedTalker()
    {
        talker_->SetLineInterval(1h);
        talker_.start(ports_, 1);
        // Made once the port is there, so that start-up lists it.
        window_ = std::make_unique<frmMain>();
        window_->show();
        QTest::mouseClick(window_->COMInitButton, Qt::LeftButton);
    }

    std::tuple<HostedDevice<devsim::TalkerDevice>&, MessageRecorder&, frmMain&> parts()
    {
        return {talker_, messages_, *window_};
    }

private:
    SimulatedPorts ports_;
    HostedDevice<devsim::TalkerDevice> talker_{QStringLiteral("COM1")};
    MessageRecorder messages_;
    std::unique_ptr<frmMain> window_;
};

}

class tst_SendToDevice : public QObject {
    Q_OBJECT

private slots:
    void typedDataReachesTheDevice_data()
    {
        QTest::addColumn<int>("notation");
        QTest::addColumn<bool>("cr");
        QTest::addColumn<bool>("lf");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("sent");
        QTest::newRow("hex with spaces around") << 0 << false << false << "  41 " << QByteArray("A");
        QTest::newRow("long hex") << 0 << false << false << QString("4142").repeated(150) << QByteArray("AB").repeated(150);
        QTest::newRow("dec") << 1 << false << false << "255" << QByteArray("\xFF");
        QTest::newRow("bin") << 2 << false << false << "0100000101000010" << QByteArray("AB");
        QTest::newRow("char CR LF") << 3 << true << true << "AT" << QByteArray("AT\r\n");
        QTest::newRow("char LF") << 3 << false << true << "AT" << QByteArray("AT\n");
        QTest::newRow("500 characters") << 3 << false << false << QString(500, 'x') << QByteArray(500, 'x');
    }
    void typedDataReachesTheDevice()
    {
        QFETCH(int, notation);
        QFETCH(bool, cr);
        QFETCH(bool, lf);
        QFETCH(QString, typed);
        QFETCH(QByteArray, sent);
        ConnectedTalker rig;
        auto [talker, messages, w] = rig.parts();
        QVERIFY(w.PortIsOpen);
        w.TXDataTypeListBox->setCurrentIndex(notation);
        w.CRCheckbox->setChecked(cr);
        w.LFCheckbox->setChecked(lf);
        QTest::keyClicks(w.SendData, typed);
        QTest::keyClick(w.SendData, Qt::Key_Return);
        QTRY_COMPARE(talker->Received().Bytes(), sent);
        QCOMPARE(w.SendData->text(), QString());
        QCOMPARE(w.focusWidget(), w.SendData);
        // The talker echoes: what went out comes back into the box.
        QTRY_COMPARE(w.RXOut->Text(), sent);
        QVERIFY(messages.messages().isEmpty());
    }

    void refusedTextStaysAndNothingGoesOut()
    {
        ConnectedTalker rig;
        auto [talker, messages, w] = rig.parts();
        w.TXDataTypeListBox->setCurrentIndex(0);
        w.SendData->setText("4 1");
        QTest::mouseClick(w.SendButton, Qt::LeftButton);
        QCOMPARE(messages.texts(), QStringList{"Use only HEX digits (0...9, a...f)."});
        QCOMPARE(w.SendData->text(), QStringLiteral("4 1"));
        QTest::qWait(100);
        QCOMPARE(talker->Received().Size(), 0);
    }
};

QTEST_MAIN(tst_SendToDevice)
#include "tst_SendToDevice.moc"
