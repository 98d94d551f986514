#include "app/MainForm.h"
#include "app/frmMain.h"
#include "app/monitor/FindBar.h"
#include "app/monitor/ReceiveView.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <limits>

namespace {

// Positions and sizes are given in twips; 15 twips make one pixel at 96 dpi.
constexpr QRect Twips(int left, int top, int width, int height)
{
    return {left / 15, top / 15, width / 15, height / 15};
}

// The client area's first size, which is also its smallest, and the places
// of what grows with it.
constexpr QSize FirstSize(6810 / 15, 6000 / 15);
constexpr QRect Frame2Place = Twips(120, 3120, 6585, 2775);
constexpr QRect RXOutPlace = Twips(120, 480, 6255, 1695);
constexpr QRect RX2OutPlace = Twips(3240, 480, 3100, 1695);
constexpr QRect Out2LabelPlace = Twips(5280, 240, 735, 255);
// RXOut's width beside RX2Out in two-port operation.
constexpr int TwoPortWidth = 3100 / 15;

template <typename W>
W* Place(QWidget* parent, const char* name, QRect geometry)
{
    auto* w = new W(parent);
    w->setObjectName(QString::fromLatin1(name));
    w->setGeometry(geometry);
    return w;
}

QLabel* Caption(QWidget* parent, const char* name, QRect geometry, const QString& text)
{
    auto* label = Place<QLabel>(parent, name, geometry);
    label->setText(text);
    return label;
}

// A caption that begins where an indicator box ends: its text starts clear of the box's border.
QLabel* IndicatorCaption(QWidget* parent, const char* name, QRect geometry, const QString& text)
{
    auto* label = Caption(parent, name, geometry, text);
    label->setIndent(2);
    return label;
}

QLabel* Indicator(QWidget* parent, const char* name, QRect geometry)
{
    auto* label = Place<QLabel>(parent, name, geometry);
    label->setFrameShape(QFrame::Box);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

QGroupBox* Frame(QWidget* parent, const char* name, QRect geometry, const QString& caption)
{
    auto* frame = Place<QGroupBox>(parent, name, geometry);
    frame->setTitle(caption);
    return frame;
}

ReceiveView* ReceivedBox(QWidget* parent, const char* name, QRect geometry, QColor background)
{
    auto* box = Place<ReceiveView>(parent, name, geometry);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, background);
    box->setPalette(palette);
    return box;
}

}

void MainForm::CreateControls()
{
    auto* client = new QWidget(&window_);
    client->setObjectName(QStringLiteral("ClientArea"));
    client->setMinimumSize(FirstSize);
    client->resize(FirstSize);
    client->installEventFilter(this);
    window_.setCentralWidget(client);
    clientArea_ = client;

    Frame1 = Frame(client, "Frame1", Twips(120, 120, 2775, 2895), tr("COM Port Configuration"));
    Label1 = Caption(Frame1, "Label1", Twips(120, 360, 495, 255), tr("Port"));
    ComPortListBox = Place<QComboBox>(Frame1, "ComPortListBox", Twips(1200, 360, 1335, 315));
    Label2 = Caption(Frame1, "Label2", Twips(120, 720, 495, 255), tr("Speed"));
    SpeedListBox = Place<QComboBox>(Frame1, "SpeedListBox", Twips(1200, 720, 1335, 315));
    // Any rate may be typed; a typed one is used as it stands, not added to the list.
    SpeedListBox->setEditable(true);
    SpeedListBox->setInsertPolicy(QComboBox::NoInsert);
    Label4 = Caption(Frame1, "Label4", Twips(120, 1080, 975, 255), tr("Data Bits"));
    BitsListBox = Place<QComboBox>(Frame1, "BitsListBox", Twips(1200, 1080, 1335, 315));
    Label5 = Caption(Frame1, "Label5", Twips(120, 1440, 975, 255), tr("Parity"));
    ParityListBox = Place<QComboBox>(Frame1, "ParityListBox", Twips(1200, 1440, 1335, 315));
    Label6 = Caption(Frame1, "Label6", Twips(120, 1800, 735, 255), tr("StopBits"));
    StopListBox = Place<QComboBox>(Frame1, "StopListBox", Twips(1200, 1800, 1335, 315));
    Label3 = Caption(Frame1, "Label3", Twips(120, 2160, 975, 255), tr("Handshake"));
    HandshakeListBox = Place<QComboBox>(Frame1, "HandshakeListBox", Twips(1200, 2160, 1335, 315));
    Com2Label = Caption(Frame1, "Com2Label", Twips(120, 2520, 1095, 255), tr("Alternate Port"));
    Com2Label->setEnabled(false);
    AltComListBox = Place<QComboBox>(Frame1, "AltComListBox", Twips(1200, 2520, 1335, 315));

    Label11 = Caption(client, "Label11", Twips(3120, 240, 735, 255), tr("Interface"));
    ITypeListBox = Place<QComboBox>(client, "ITypeListBox", Twips(3960, 240, 1815, 315));
    ITypeListBox->setToolTip(tr("Select a specific interface or Generic if unknown"));
    COMInitButton = Place<QPushButton>(client, "COMInitButton", Twips(5880, 240, 855, 375));
    COMInitButton->setText(tr("Init"));

    SendFrame = Frame(client, "SendFrame", Twips(3000, 720, 3735, 2295), tr("Transmitted Data"));
    Label13 = Caption(SendFrame, "Label13", Twips(120, 360, 495, 255), tr("Type"));
    TXDataTypeListBox = Place<QComboBox>(SendFrame, "TXDataTypeListBox", Twips(600, 360, 1095, 315));
    CRCheckbox = Place<QCheckBox>(SendFrame, "CRCheckbox", Twips(1920, 360, 615, 255));
    CRCheckbox->setText(tr("CR"));
    LFCheckbox = Place<QCheckBox>(SendFrame, "LFCheckbox", Twips(2640, 360, 495, 255));
    LFCheckbox->setText(tr("LF"));
    Label12 = Caption(SendFrame, "Label12", Twips(120, 720, 495, 255), tr("Data"));
    SendData = Place<QLineEdit>(SendFrame, "SendData", Twips(600, 720, 3015, 285));
    // A pasted text of any length is taken whole.
    SendData->setMaxLength(std::numeric_limits<int>::max());
    DCDv = Indicator(SendFrame, "DCDv", Twips(120, 1320, 255, 255));
    Label15 = IndicatorCaption(SendFrame, "Label15", Twips(360, 1320, 615, 255), tr("DCD(1)"));
    RIv = Indicator(SendFrame, "RIv", Twips(1080, 1320, 255, 255));
    label99 = IndicatorCaption(SendFrame, "label99", Twips(1320, 1320, 495, 255), tr("RI(9)"));
    DSRv = Indicator(SendFrame, "DSRv", Twips(1920, 1320, 255, 255));
    label39 = IndicatorCaption(SendFrame, "label39", Twips(2160, 1320, 615, 255), tr("DSR(6)"));
    CTSv = Indicator(SendFrame, "CTSv", Twips(2760, 1320, 255, 255));
    label33 = IndicatorCaption(SendFrame, "label33", Twips(3000, 1320, 615, 255), tr("CTS(8)"));
    DTRv = Place<QCheckBox>(SendFrame, "DTRv", Twips(120, 1800, 855, 255));
    DTRv->setText(tr("DTR(4)"));
    DTRv->setToolTip(tr("If checked, then DTR=1(+12V)"));
    RTSv = Place<QCheckBox>(SendFrame, "RTSv", Twips(1080, 1800, 855, 255));
    RTSv->setText(tr("RTS(7)"));
    RTSv->setToolTip(tr("If checked, then RTS=1(+12V)"));
    Label8 = Indicator(SendFrame, "Label8", Twips(1920, 1800, 495, 255));
    Label8->setToolTip(tr("COM Status"));
    SendButton = Place<QPushButton>(SendFrame, "SendButton", Twips(2640, 1680, 975, 375));
    SendButton->setText(tr("Send"));

    Frame2 = Frame(client, "Frame2", Frame2Place, tr("Received Data"));
    ClearButton = Place<QPushButton>(Frame2, "ClearButton", Twips(5520, 2280, 975, 375));
    ClearButton->setText(tr("Clear"));
    OutCombo = Place<QComboBox>(Frame2, "OutCombo", Twips(4320, 2280, 975, 315));
    RXBitsNrListBox = Place<QComboBox>(Frame2, "RXBitsNrListBox", Twips(1920, 2280, 735, 315));
    // Its 65 entries as a scrolled list of 20, not a popup the height of the screen.
    RXBitsNrListBox->setMaxVisibleItems(20);
    RXBitsNrListBox->setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
    RXBitsNrListBox->setToolTip(tr("'0' means no limit"));
    RX2Out = ReceivedBox(Frame2, "RX2Out", RX2OutPlace, QColor(255, 255, 192));
    RXOut = ReceivedBox(Frame2, "RXOut", RXOutPlace, QColor(128, 255, 255));
    RXOut->raise();
    Out2Label = Place<QLabel>(Frame2, "Out2Label", Out2LabelPlace);
    Out1Label = Place<QLabel>(Frame2, "Out1Label", Twips(2280, 240, 735, 255));
    Label7 = Caption(Frame2, "Label7", Twips(3600, 2280, 735, 255), tr("Out Form"));
    Label10 = Caption(Frame2, "Label10", Twips(120, 2280, 1815, 255), tr("Number of bytes per line"));
    OutLabel = Caption(Frame2, "OutLabel", Twips(120, 240, 735, 255), tr("Binary"));
    for (QWidget* control : std::initializer_list<QWidget*>{ClearButton, OutCombo, RXBitsNrListBox, Label7, Label10})
        underBoxes_.emplace_back(control, control->geometry());
    FindBox = new FindBar([this] { return OutCombo->currentIndex(); }, Frame2);
    FindBox->setObjectName(QStringLiteral("FindBox"));

    // Keyboard focus order.
    const QList<QWidget*> order{ComPortListBox, SpeedListBox, HandshakeListBox, BitsListBox, ParityListBox,
                                StopListBox, COMInitButton, RXBitsNrListBox, SendData, TXDataTypeListBox,
                                SendButton, CRCheckbox, LFCheckbox, DTRv, RTSv, ClearButton, ITypeListBox,
                                RXOut, OutCombo, RX2Out, AltComListBox};
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);

    auto* fileMenu = window_.menuBar()->addMenu(tr("&File"));
    fileMenu->setObjectName(QStringLiteral("FileMenu"));
    FileLogMenu = fileMenu->addAction(tr("&Log to File..."));
    FileLogMenu->setObjectName(QStringLiteral("FileLogMenu"));
    FileLogMenu->setCheckable(true);
    FileSaveMenu = fileMenu->addAction(tr("&Save Received Data..."));
    FileSaveMenu->setObjectName(QStringLiteral("FileSaveMenu"));
    FileSendMenu = fileMenu->addAction(tr("Send File..."));
    FileSendMenu->setObjectName(QStringLiteral("FileSendMenu"));
    FileForgetMenu = fileMenu->addAction(tr("Forget Saved Choices"));
    FileForgetMenu->setObjectName(QStringLiteral("FileForgetMenu"));
    fileMenu->addSeparator();
    FileExitMenu = fileMenu->addAction(tr("&Exit"));
    FileExitMenu->setObjectName(QStringLiteral("FileExitMenu"));
    auto* portMenu = window_.menuBar()->addMenu(tr("&Port"));
    portMenu->setObjectName(QStringLiteral("PortMenu"));
    PortBreakMenu = portMenu->addAction(tr("Send Break"));
    PortBreakMenu->setObjectName(QStringLiteral("PortBreakMenu"));
    PortBreakMenu->setEnabled(false);
    PortReconnectMenu = portMenu->addAction(tr("Reconnect When the Device Returns"));
    PortReconnectMenu->setObjectName(QStringLiteral("PortReconnectMenu"));
    PortReconnectMenu->setCheckable(true);
    PortRepeatMenu = portMenu->addAction(tr("Repeat Send..."));
    PortRepeatMenu->setObjectName(QStringLiteral("PortRepeatMenu"));
    PortMacrosMenu = portMenu->addAction(tr("Macros..."));
    PortMacrosMenu->setObjectName(QStringLiteral("PortMacrosMenu"));
    PortAnswersMenu = portMenu->addAction(tr("Answers..."));
    PortAnswersMenu->setObjectName(QStringLiteral("PortAnswersMenu"));
    auto* helpMenu = window_.menuBar()->addMenu(tr("&Help"));
    helpMenu->setObjectName(QStringLiteral("HelpMenu"));
    HelpContentMenu = helpMenu->addAction(tr("&Content"));
    HelpContentMenu->setObjectName(QStringLiteral("HelpContentMenu"));
    HelpAboutMenu = helpMenu->addAction(tr("&About"));
    HelpAboutMenu->setObjectName(QStringLiteral("HelpAboutMenu"));

    Timer1 = new QTimer(&window_);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(10);
}

void MainForm::SetBoxesSideBySide(bool sideBySide)
{
    boxesSideBySide_ = sideBySide;
    FitToClientArea();
}

void MainForm::FitToClientArea()
{
    // Every control above the boxes keeps its place; the frame and its boxes
    // take the new room and what lies under them follows the bottom edge.
    const int wider = std::max(0, clientArea_->width() - FirstSize.width());
    const int room = std::max(0, clientArea_->height() - FirstSize.height());
    const int macroBar = MacroBarHeight(room);
    const int taller = room - macroBar;
    Frame2->setGeometry(Frame2Place.adjusted(0, 0, wider, taller));
    for (const auto& [control, place] : underBoxes_)
        control->move(place.topLeft() + QPoint(0, taller));

    // The find bar, when open, takes its height from the boxes.
    const int findHeight = FindBox->isHidden() ? 0 : FindBox->sizeHint().height();
    const int boxHeight = RXOutPlace.height() + taller - findHeight;
    // Side by side, each box gets half of the new width.
    const int half = wider / 2;
    RX2Out->setGeometry(RX2OutPlace.left() + half, RX2OutPlace.top(), RX2OutPlace.width() + wider - half, boxHeight);
    RXOut->setGeometry(RXOutPlace.left(), RXOutPlace.top(),
                       boxesSideBySide_ && !timelineShown_ ? TwoPortWidth + half : RXOutPlace.width() + wider, boxHeight);
    Out2Label->move(Out2LabelPlace.topLeft() + QPoint(half, 0));
    FindBox->setGeometry(RXOutPlace.left(), RXOutPlace.top() + boxHeight, RXOutPlace.width() + wider, findHeight);
    PlaceMacroBar(macroBar);
}
