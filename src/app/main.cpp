#include "app/frmMain.h"

#include <QApplication>
#include <QFont>
#include <QStyleFactory>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Wendale"));
    frmMain window;
    window.show();
    return QApplication::exec();
}
