#include "app/frmMain.h"
#include "app/MsgBox.h"
#include "app/PortWatcher.h"
#include "monitor/FindBar.h"
#include "monitor/ReceiveView.h"
#include "port/PortFailures.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>

frmMain::frmMain(QWidget* parent)
    : QMainWindow(parent)
{
    setWindowTitle(tr("Wendale"));
    modZEMO::SetFailureReporter([](const QString& message) { modZEMO::MsgBox(message, modZEMO::MsgCritical); });
    Q_INIT_RESOURCE(resources);
    setWindowIcon(QIcon(QStringLiteral(":/wendale.png")));
    // Arial's metrics (Liberation Sans), at the size at which every caption
    // fits the rectangle the layout gives it.
    QFont windowFont(QStringLiteral("Liberation Sans"));
    windowFont.setPointSizeF(7.5);
    setFont(windowFont);
    CreateControls();
    WireHandlers();
    Form_Load();
    // The first size is also the smallest; the window may grow from it.
    resize(minimumSizeHint());
    ComPortListBox->setFocus();
}

frmMain::~frmMain() = default;

void frmMain::SelectItem(QComboBox* list, int index)
{
    // An entry that does not exist cannot be selected; the caller's step is skipped.
    if (index < 0 || index >= list->count())
        return;
    if (list->currentIndex() == index)
        emit list->currentIndexChanged(index);
    else
        list->setCurrentIndex(index);
}

void frmMain::SetValue(QCheckBox* box, int value)
{
    box->setCheckState(value == 0 ? Qt::Unchecked : value == 1 ? Qt::Checked : Qt::PartiallyChecked);
}

void frmMain::WireHandlers()
{
    const auto onSelect = [this](QComboBox* list, void (frmMain::*handler)()) {
        connect(list, &QComboBox::currentIndexChanged, this, handler);
    };
    onSelect(ComPortListBox, &frmMain::ComPortListBox_Click);
    onSelect(ITypeListBox, &frmMain::ITypeListBox_Click);
    onSelect(StopListBox, &frmMain::StopListBox_Click);
    onSelect(HandshakeListBox, &frmMain::HandshakeListBox_Click);
    onSelect(ParityListBox, &frmMain::ParityListBox_Click);
    onSelect(TXDataTypeListBox, &frmMain::TXDataTypeListBox_Click);
    onSelect(RXBitsNrListBox, &frmMain::RXBitsNrListBox_Click);
    onSelect(OutCombo, &frmMain::OutCombo_Click);

    connect(DTRv, &QCheckBox::stateChanged, this, &frmMain::DTRv_Click);
    connect(RTSv, &QCheckBox::stateChanged, this, &frmMain::RTSv_Click);

    connect(COMInitButton, &QPushButton::clicked, this, &frmMain::COMInitButton_Click);
    connect(SendButton, &QPushButton::clicked, this, &frmMain::SendButton_Click);
    connect(ClearButton, &QPushButton::clicked, this, &frmMain::ClearButton_Click);

    connect(Timer1, &QTimer::timeout, this, &frmMain::Timer1_Timer);

    connect(FileLogMenu, &QAction::triggered, this, &frmMain::FileLogMenu_Click);
    connect(FileSaveMenu, &QAction::triggered, this, &frmMain::FileSaveMenu_Click);
    connect(FileExitMenu, &QAction::triggered, this, &frmMain::FileExitMenu_Click);
    connect(HelpContentMenu, &QAction::triggered, this, &frmMain::HelpContentMenu_Click);
    connect(HelpAboutMenu, &QAction::triggered, this, &frmMain::HelpAboutMenu_Click);

    SendData->installEventFilter(this);

    auto* find = new QShortcut(QKeySequence::Find, this);
    connect(find, &QShortcut::activated, this, &frmMain::OpenFindBar);
    connect(FindBox, &FindBar::Toggled, this, &frmMain::FitToClientArea);
    portWatcher_ = new PortWatcher(this);
    connect(portWatcher_, &PortWatcher::Changed, this, &frmMain::RefreshPortLists);
}

void frmMain::OpenFindBar()
{
    // In two-port operation the find bar searches the box that has the focus
    // (or had it when the bar was opened).
    const bool second = RX2Out->hasFocus() || (FindBox->isAncestorOf(focusWidget()) && FindBox->Box() == RX2Out);
    FindBox->Open(TwoPortMode && second ? RX2Out : RXOut);
}

bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == clientArea_ && event->type() == QEvent::Resize)
        FitToClientArea();
    if (watched == SendData && (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (event->type() == QEvent::KeyPress)
            SendData_KeyDown(key->key(), key->isAutoRepeat());
        else
            SendData_KeyUp(key->key(), key->isAutoRepeat());
    }
    // The box's own handling of every key goes on.
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    event->accept();
}
