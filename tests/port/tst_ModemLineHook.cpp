#include "port/ModZemoPorts.h"
#include "port/ModemLineHook.h"
#include "support/LineHistory.h"
#include "support/PtyPair.h"
#include "support/TestPortsDir.h"

#include <QTest>
#include <memory>

using namespace win32;
using testhook::LineEvent;

class tst_ModemLineHook : public QObject {
    Q_OBJECT

    std::unique_ptr<PtyPair> pty;
    std::unique_ptr<PtyPair> otherPty;
    std::unique_ptr<TestPortsDir> ports;
    HANDLE handle = INVALID_HANDLE_VALUE;

private slots:
    void init()
    {
        pty = std::make_unique<PtyPair>();
        otherPty = std::make_unique<PtyPair>();
        ports = std::make_unique<TestPortsDir>();
        QVERIFY(ports->link(2, pty->slavePath()));
        QVERIFY(ports->link(3, otherPty->slavePath()));
        testhook::EmulateModemLines(QStringLiteral("COM2"));
        handle = modZEMO::OpenPort(QStringLiteral("COM2"));
        QVERIFY(handle != INVALID_HANDLE_VALUE);
    }

    void cleanup()
    {
        CloseHandle(handle);
        testhook::StopEmulating();
        ports.reset();
        otherPty.reset();
        pty.reset();
    }

    void lineChangesAreRecordedInOrder()
    {
        QVERIFY(EscapeCommFunction(handle, SETRTS));
        QVERIFY(EscapeCommFunction(handle, SETDTR));
        QVERIFY(EscapeCommFunction(handle, CLRDTR));
        QVERIFY(EscapeCommFunction(handle, CLRRTS));
        QVERIFY(CloseHandle(handle));
        const QList<LineChange> expected{
            {LineEvent::Rts, true}, {LineEvent::Dtr, true}, {LineEvent::Dtr, false},
            {LineEvent::Rts, false}, {LineEvent::Closed, false}};
        QCOMPARE(LineChanges(QStringLiteral("COM2")), expected);

        const auto history = testhook::LineHistory(QStringLiteral("COM2"));
        for (size_t i = 1; i < history.size(); ++i)
            QVERIFY(history[i - 1].when <= history[i].when);
    }

    void unknownEscapeCodeFailsAndIsNotRecorded()
    {
        QCOMPARE(EscapeCommFunction(handle, 9), 0);
        QVERIFY(testhook::LineHistory(QStringLiteral("COM2")).empty());
    }

    void lineSettingsDriveTheLinesToo_data()
    {
        QTest::addColumn<uint>("flags");
        QTest::addColumn<bool>("dtr");
        QTest::addColumn<bool>("rts");
        QTest::newRow("flags word 1 drops both") << 1u << false << false;
        QTest::newRow("both enabled") << uint(fBinary | (DTR_CONTROL_ENABLE << fDtrControlShift)
                                              | (RTS_CONTROL_ENABLE << fRtsControlShift))
                                      << true << true;
        QTest::newRow("dtr only") << uint(fBinary | (DTR_CONTROL_ENABLE << fDtrControlShift)) << true
                                  << false;
    }

    void lineSettingsDriveTheLinesToo()
    {
        QFETCH(uint, flags);
        QFETCH(bool, dtr);
        QFETCH(bool, rts);
        DCB dcb{};
        QVERIFY(GetCommState(handle, &dcb));
        dcb.flags = flags;
        QVERIFY(SetCommState(handle, &dcb));
        const QList<LineChange> expected{{LineEvent::Dtr, dtr}, {LineEvent::Rts, rts}};
        QCOMPARE(LineChanges(QStringLiteral("COM2")), expected);
    }

    void inputLinesComeBackAsTheStatusWord()
    {
        DWORD status = 0;
        QVERIFY(GetCommModemStatus(handle, &status));
        QCOMPARE(status, 0u);
        testhook::SetInputLines(QStringLiteral("COM2"), MS_CTS_ON | MS_RLSD_ON);
        QVERIFY(GetCommModemStatus(handle, &status));
        QCOMPARE(status, MS_CTS_ON | MS_RLSD_ON);
        testhook::SetInputLines(QStringLiteral("COM2"), MS_DSR_ON | MS_RING_ON);
        QVERIFY(GetCommModemStatus(handle, &status));
        QCOMPARE(status, MS_DSR_ON | MS_RING_ON);
    }
};

QTEST_GUILESS_MAIN(tst_ModemLineHook)
#include "tst_ModemLineHook.moc"
