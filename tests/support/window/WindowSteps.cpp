#include "support/window/WindowSteps.h"
#include "support/window/TestWindow.h"

void Send(TestWindow& w, const QString& text)
{
    w.Edit("SendData")->setText(text);
    QTest::mouseClick(w.Button("SendButton"), Qt::LeftButton);
}

bool Choose(QComboBox* list, const QString& text)
{
    const int index = list->findText(text, Qt::MatchExactly);
    if (index < 0)
        return false;
    list->setCurrentIndex(index);
    emit list->activated(index);
    return true;
}

void ChooseInterface(TestWindow& w, const QString& type)
{
    if (!Choose(w.List("ITypeListBox"), type))
        qFatal("no interface type %s", qPrintable(type));
    if (type == QLatin1String("Transparent"))
        w.List("AltComListBox")->setCurrentIndex(0);
}

bool Connect(TestWindow& w, const QString& type)
{
    w.window.show();
    ChooseInterface(w, type);
    QTest::mouseClick(w.Button("COMInitButton"), Qt::LeftButton);
    return Connected(w);
}

bool Connected(const TestWindow& w)
{
    return w.Button("COMInitButton")->text() == QLatin1String("Disc.");
}

bool ShowsTwoPorts(const TestWindow& w)
{
    // One box covers the other's place unless they stand side by side.
    return !w.Box("RXOut")->geometry().intersects(w.Box("RX2Out")->geometry());
}

void LetTicksRun(int ticks)
{
    QTest::qWait(10 * ticks + 5);
}

QStringList Items(const QComboBox* list)
{
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items << list->itemText(i);
    return items;
}
