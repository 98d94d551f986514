#include "transmit/RecallKeys.h"
#include "transmit/SendHistory.h"

#include <QTest>

namespace {

QStringList Numbers(int count)
{
    QStringList texts;
    for (int i = 1; i <= count; ++i)
        texts << QString::number(i);
    return texts;
}

int KeyOf(QChar letter)
{
    return QHash<QChar, int>{{u'U', Qt::Key_Up}, {u'D', Qt::Key_Down}, {u'E', Qt::Key_Return}}.value(letter.toUpper(), Qt::Key_Home);
}

}

class tst_RecallKeys : public QObject {
    Q_OBJECT

private slots:
    // Keys: U(p), D(own), E(nter), H(ome); upper case goes down, lower case
    // comes up, ~ marks auto-repeat. Each key has an effect: "=text" (shown
    // by a recall), "send", "end" (the caret goes to the end) or "-".
    void keys_data()
    {
        QTest::addColumn<QStringList>("sent");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QStringList>("effects");
        QTest::addColumn<int>("recallIndex");
        QTest::addColumn<int>("historyIndex");
        const QStringList three{"41", "42", "43"};
        QTest::newRow("up up down down") << three << "U u U u D d D d"
                                         << QStringList{"=43", "end", "=42", "end", "=43", "end", "=", "end"} << 4 << 3;
        QTest::newRow("up before any send") << QStringList() << "U" << QStringList{"="} << 99 << 0;
        QTest::newRow("down before any send") << QStringList() << "D" << QStringList{"="} << 1 << 0;
        QTest::newRow("up past the oldest") << QStringList{"41"} << "U u U" << QStringList{"=41", "end", "="} << 99 << 1;
        QTest::newRow("held up acts once") << QStringList{"41", "4243"} << "U u~ U~ u~ U~ u"
                                           << QStringList{"=4243", "-", "-", "-", "-", "end"} << 2 << 2;
        QTest::newRow("enter while up is held") << QStringList{"41"} << "U E e~ u E"
                                                << QStringList{"=41", "-", "-", "end", "send"} << 3 << 2;
        QTest::newRow("other key ends the hold") << QStringList{"41", "4243"} << "U H h u U"
                                                 << QStringList{"=4243", "-", "-", "-", "=41"} << 1 << 2;
        QTest::newRow("recalled text sent again") << QStringList{"41", "42"} << "U u U u E e U u U u U"
                                                  << QStringList{"=42", "end", "=41", "end", "send", "-", "=41", "end", "=42", "end", "=41"} << 1 << 3;
        QTest::newRow("99 sends, up") << Numbers(99) << "U" << QStringList{"=99"} << 99 << 99;
        QTest::newRow("99 sends, down") << Numbers(99) << "D" << QStringList{"=1"} << 1 << 99;
        QTest::newRow("100th send takes entry 1") << Numbers(100) << "U u U" << QStringList{"=100", "end", "=99"} << 99 << 1;
        QTest::newRow("kept to 100 characters") << QStringList{QString(99, u'x') + "bc"} << "U"
                                                << QStringList{"=" + QString(99, u'x') + "b"} << 1 << 1;
    }

    void keys()
    {
        QFETCH(QStringList, sent);
        QFETCH(QString, keys);
        QFETCH(QStringList, effects);
        QFETCH(int, recallIndex);
        QFETCH(int, historyIndex);
        modZEMO::SendHistory = {};
        RecallKeys recall;
        for (const QString& text : sent)
            recall.Store(text);
        QString box;
        QStringList seen;
        for (const QString& key : keys.split(u' ')) {
            if (key.at(0).isLower()) {
                seen << (recall.KeyUp(KeyOf(key.at(0)), key.endsWith(u'~')) ? "end" : "-");
                continue;
            }
            switch (recall.KeyDown(KeyOf(key.at(0)))) {
            case RecallKeys::Action::Send: recall.Store(box); seen << "send"; break;
            case RecallKeys::Action::ShowRecalled: box = recall.Recalled(); seen << "=" + box; break;
            case RecallKeys::Action::None: seen << "-"; break;
            }
        }
        QCOMPARE(seen, effects);
        QCOMPARE(recall.RecallIndex(), recallIndex);
        QCOMPARE(recall.HistoryIndex(), historyIndex);
    }
};

QTEST_APPLESS_MAIN(tst_RecallKeys)
#include "tst_RecallKeys.moc"
