#include "support/WindowSteps.h"

#include "app/frmMain.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

void Send(frmMain& w, const QString& text)
{
    w.SendData->setText(text);
    QTest::mouseClick(w.SendButton, Qt::LeftButton);
}

void ChooseInterface(frmMain& w, int type)
{
    w.ITypeListBox->setCurrentIndex(type);
    if (type == frmMain::Transparent)
        w.AltComListBox->setCurrentIndex(0);
}

bool Connect(frmMain& w, int type)
{
    w.show();
    ChooseInterface(w, type);
    QTest::mouseClick(w.COMInitButton, Qt::LeftButton);
    return w.PortIsOpen;
}

QStringList Items(const QComboBox* list)
{
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items << list->itemText(i);
    return items;
}
