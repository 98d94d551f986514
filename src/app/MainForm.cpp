#include "app/MainForm.h"
#include "app/frmMain.h"
#include "app/MsgBox.h"
#include "app/PortWatcher.h"
#include "app/monitor/FindBar.h"
#include "app/monitor/ReceiveView.h"
#include "port/PortFailures.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>

MainForm::MainForm(frmMain& window, bool savedChoices)
    : window_(window)
    , choiceFile_(savedChoices)
{
    window_.setWindowTitle(tr("Wendale"));
    modZEMO::SetFailureReporter([](const QString& message) { modZEMO::MsgBox(message, modZEMO::MsgCritical); });
    Q_INIT_RESOURCE(resources);
    window_.setWindowIcon(QIcon(QStringLiteral(":/wendale.png")));
    // Arial's metrics (Liberation Sans), at the size at which every caption
    // fits the rectangle the layout gives it.
    QFont windowFont(QStringLiteral("Liberation Sans"));
    windowFont.setPointSizeF(7.5);
    window_.setFont(windowFont);
    CreateControls();
    CreateViewMenu();
    WireHandlers();
    Form_Load();
    for (const QAction* action : KeptMenuChoices())
        if (action->isChecked())
            writtenMenuChoices_.insert(action);
    // The first size is also the smallest; the window may grow from it.
    window_.resize(window_.minimumSizeHint());
    RestoreChoices();
    WatchChoices();
    ComPortListBox->setFocus();
}

MainForm::~MainForm() = default;

void MainForm::SelectItem(QComboBox* list, int index)
{
    // An entry that does not exist cannot be selected; the caller's step is skipped.
    if (index < 0 || index >= list->count())
        return;
    if (list->currentIndex() == index)
        emit list->currentIndexChanged(index);
    else
        list->setCurrentIndex(index);
}

void MainForm::SetValue(QCheckBox* box, int value)
{
    box->setCheckState(value == 0 ? Qt::Unchecked : value == 1 ? Qt::Checked : Qt::PartiallyChecked);
}

void MainForm::WireHandlers()
{
    const auto onSelect = [this](QComboBox* list, void (MainForm::*handler)()) {
        connect(list, &QComboBox::currentIndexChanged, this, handler);
    };
    onSelect(ComPortListBox, &MainForm::ComPortListBox_Click);
    onSelect(ITypeListBox, &MainForm::ITypeListBox_Click);
    onSelect(StopListBox, &MainForm::StopListBox_Click);
    onSelect(HandshakeListBox, &MainForm::HandshakeListBox_Click);
    onSelect(ParityListBox, &MainForm::ParityListBox_Click);
    onSelect(TXDataTypeListBox, &MainForm::TXDataTypeListBox_Click);
    onSelect(RXBitsNrListBox, &MainForm::RXBitsNrListBox_Click);
    onSelect(OutCombo, &MainForm::OutCombo_Click);

    connect(DTRv, &QCheckBox::stateChanged, this, &MainForm::DTRv_Click);
    connect(RTSv, &QCheckBox::stateChanged, this, &MainForm::RTSv_Click);

    connect(COMInitButton, &QPushButton::clicked, this, &MainForm::COMInitButton_Click);
    connect(SendButton, &QPushButton::clicked, this, &MainForm::SendButton_Click);
    connect(ClearButton, &QPushButton::clicked, this, &MainForm::ClearButton_Click);

    connect(Timer1, &QTimer::timeout, this, &MainForm::Timer1_Timer);

    connect(FileLogMenu, &QAction::triggered, this, &MainForm::FileLogMenu_Click);
    connect(FileSaveMenu, &QAction::triggered, this, &MainForm::FileSaveMenu_Click);
    connect(FileForgetMenu, &QAction::triggered, this, &MainForm::FileForgetMenu_Click);
    connect(FileExitMenu, &QAction::triggered, this, &MainForm::FileExitMenu_Click);
    connect(PortBreakMenu, &QAction::triggered, this, &MainForm::PortBreakMenu_Click);
    breakTimer_ = new QTimer(this);
    breakTimer_->setSingleShot(true);
    connect(breakTimer_, &QTimer::timeout, this, &MainForm::EndBreak);
    connect(HelpContentMenu, &QAction::triggered, this, &MainForm::HelpContentMenu_Click);
    connect(HelpAboutMenu, &QAction::triggered, this, &MainForm::HelpAboutMenu_Click);

    SendData->installEventFilter(this);

    auto* find = new QShortcut(QKeySequence::Find, &window_);
    connect(find, &QShortcut::activated, this, &MainForm::OpenFindBar);
    connect(FindBox, &FindBar::Toggled, this, &MainForm::FitToClientArea);
    portWatcher_ = new PortWatcher(&window_);
    connect(portWatcher_, &PortWatcher::Changed, this, &MainForm::RefreshPortLists);
    retryTimer_ = new QTimer(this);
    connect(retryTimer_, &QTimer::timeout, this, &MainForm::ReopenReturnedPorts);
    connect(portWatcher_, &PortWatcher::Changed, this, &MainForm::ReopenReturnedPorts);
    WireSending();
}

void MainForm::OpenFindBar()
{
    // In two-port operation the find bar searches the box that has the focus
    // (or had it when the bar was opened).
    const bool second = RX2Out->hasFocus() || (FindBox->isAncestorOf(window_.focusWidget()) && FindBox->Box() == RX2Out);
    FindBox->Open(TwoPortMode && second ? RX2Out : RXOut);
}

bool MainForm::eventFilter(QObject* watched, QEvent* event)
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
    return QObject::eventFilter(watched, event);
}
