#pragma once

#include "monitor/CaptureLog.h"
#include "monitor/ReceivedTexts.h"
#include "monitor/Timeline.h"
#include "monitor/TimelineLog.h"
#include "monitor/TimelineText.h"
#include "port/Kernel32.h"
#include "profiles/DeviceProfiles.h"
#include "session/ChoiceFile.h"
#include "transmit/Answers.h"
#include "transmit/Macros.h"
#include "transmit/RecallKeys.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QSize>
#include <QVariantMap>
#include <optional>
#include <utility>
#include <vector>

class QAction;
class QActionGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTimer;
class FindBar;
class PortWatcher;
class ReceiveView;
class SendingState;

class frmMain;

// What the window holds and does: its controls, state and event procedures,
// private to the window (only frmMain and the window's own files include
// this). The procedures are defined in the folder of the subsystem they
// belong to under app/ (connect routines in profiles/, the receive tick in
// monitor/, the Send action in transmit/, the X10 exchange in x10/).
class MainForm : public QObject {
    Q_OBJECT

public:
    // savedChoices false (--defaults): the written start, nothing read or kept.
    MainForm(frmMain& window, bool savedChoices);
    ~MainForm() override;

    // Interface types: the indexes of ITypeListBox.
    using enum lists::Interface;

    // Selecting an entry from code runs the list's handler, also when the
    // entry was already selected; setting a check box runs its click handler.
    static void SelectItem(QComboBox* list, int index);
    static void SetValue(QCheckBox* box, int value);

    // Controls, named as the user knows them (objectName equals the member name).
    QGroupBox* Frame1 = nullptr;
    QLabel* Label1 = nullptr;
    QComboBox* ComPortListBox = nullptr;
    QLabel* Label2 = nullptr;
    QComboBox* SpeedListBox = nullptr;
    QLabel* Label4 = nullptr;
    QComboBox* BitsListBox = nullptr;
    QLabel* Label5 = nullptr;
    QComboBox* ParityListBox = nullptr;
    QLabel* Label6 = nullptr;
    QComboBox* StopListBox = nullptr;
    QLabel* Label3 = nullptr;
    QComboBox* HandshakeListBox = nullptr;
    QLabel* Com2Label = nullptr;
    QComboBox* AltComListBox = nullptr;

    QLabel* Label11 = nullptr;
    QComboBox* ITypeListBox = nullptr;
    QPushButton* COMInitButton = nullptr;

    QGroupBox* SendFrame = nullptr;
    QLabel* Label13 = nullptr;
    QComboBox* TXDataTypeListBox = nullptr;
    QCheckBox* CRCheckbox = nullptr;
    QCheckBox* LFCheckbox = nullptr;
    QLabel* Label12 = nullptr;
    QLineEdit* SendData = nullptr;
    QLabel* DCDv = nullptr;
    QLabel* Label15 = nullptr;
    QLabel* RIv = nullptr;
    QLabel* label99 = nullptr;
    QLabel* DSRv = nullptr;
    QLabel* label39 = nullptr;
    QLabel* CTSv = nullptr;
    QLabel* label33 = nullptr;
    QCheckBox* DTRv = nullptr;
    QCheckBox* RTSv = nullptr;
    QLabel* Label8 = nullptr;
    QPushButton* SendButton = nullptr;

    QGroupBox* Frame2 = nullptr;
    QPushButton* ClearButton = nullptr;
    QComboBox* OutCombo = nullptr;
    QComboBox* RXBitsNrListBox = nullptr;
    ReceiveView* RXOut = nullptr;
    ReceiveView* RX2Out = nullptr;
    QLabel* Out2Label = nullptr;
    QLabel* Out1Label = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label10 = nullptr;
    QLabel* OutLabel = nullptr;

    QTimer* Timer1 = nullptr;
    FindBar* FindBox = nullptr; // Ctrl+F, under the received-data boxes
    // The View menu: the kind of stamp, a stamp on every line, a new line after a pause.
    QActionGroup* ViewStampKinds = nullptr;
    QAction* ViewStampEveryLine = nullptr;
    QActionGroup* ViewPauses = nullptr;
    // Sent data among the received; both directions of the relay in one box.
    QAction* ViewShowSentData = nullptr;
    QAction* ViewOneTimeline = nullptr;

    QAction* FileLogMenu = nullptr;
    QAction* FileSaveMenu = nullptr;
    QAction* FileSendMenu = nullptr;
    QAction* FileForgetMenu = nullptr;
    QAction* FileExitMenu = nullptr;
    QAction* PortBreakMenu = nullptr;
    QAction* PortReconnectMenu = nullptr;
    QAction* PortRepeatMenu = nullptr;
    QAction* PortMacrosMenu = nullptr;
    QAction* PortAnswersMenu = nullptr;
    QAction* ViewMacroBar = nullptr;
    QAction* HelpContentMenu = nullptr;
    QAction* HelpAboutMenu = nullptr;

    // Window state.
    bool PortIsOpen = false;
    bool TwoPortMode = false;
    int16_t SelectedInterface = Generic;
    ReceivedTexts RX;  // the primary port's texts: RXBin, RXHex, RXChr, RXLineCount
    ReceivedTexts RX2; // the second port's texts
    Timeline Conversation{RX.Bytes(), RX2.Bytes()}; // what was read and sent, in order
    TimelineText ConversationText{Conversation};   // shown in RXOut while the timeline is on
    RecallKeys SendKeys; // HistoryIndex, RecallIndex and whether a recall key is held
    // Whether each port's device has gone since its connect (reported once).
    bool DeviceGone[2] = {false, false};
    // Whether each port's driver has lost received bytes since its connect (reported once).
    bool InputLost[2] = {false, false};
    // The primary port's driver errors read outside the tick, for its next look.
    win32::DWORD errorsRead_ = 0;
    CaptureLog CaptureLogs[2]; // the primary port's log, the second port's beside it
    TimelineLog TextLog;       // the timeline as text lines

    // Start-up (app/).
    void Form_Load();

    // Connect and disconnect dispatch (app/).
    void COMInitButton_Click();
    void ITypeListBox_Click();
    void ComPortListBox_Click();

    // The port lists follow ports that come and go while none is open (app/).
    void RefreshPortLists();

    // Room beyond the first size goes to the received-data boxes (app/).
    void SetBoxesSideBySide(bool sideBySide);

    // Line settings and control lines (app/).
    void StopListBox_Click();
    void HandshakeListBox_Click();
    void ParityListBox_Click();
    void DTRv_Click();
    void RTSv_Click();

    // Menus and shutdown (app/).
    void FileLogMenu_Click();
    // Starts logging what the primary port receives (and the second port's
    // beside it); false, after a message, when the file cannot be opened.
    bool StartLog(const QString& path);
    void StopLog();
    void FileSaveMenu_Click();
    void FileForgetMenu_Click();
    void FileExitMenu_Click();
    void PortBreakMenu_Click();
    void HelpContentMenu_Click();
    void HelpAboutMenu_Click();
    void Form_Unload();

    // Choices kept between runs (session/): put back at start, kept as the user makes them.
    void RestoreChoices();
    void WatchChoices();
    void ChoicesChanged();
    void SaveChoices();
    void SaveChoicesAtClose();

    // A device that vanishes while Reconnect is on is waited for, and opened
    // again as it was when it returns (profiles/).
    bool WaitForDevice(int port); // false: Reconnect is off
    void ReopenReturnedPorts();
    // Closes the connection's ports, and ends a wait for a device.
    void CloseOpenPorts();
    // A line of the box that tells what happened to the port; never part of the bytes.
    // The timeline keeps it in its place, a box without one until it is next rewritten.
    void ShowPortMark(int port, const QString& mark);
    void NoteDevice(int port, bool back);

    // Connect routines and reset (profiles/, x10/).
    void ConnectGeneric();
    void ConnectIRMan();
    void ConnectCreativeInfra();
    void ConnectGSMData();
    void ConnectTransparent();
    void ConnectCM12();
    void ResetButton();

    // Receive monitor (monitor/).
    void Timer1_Timer();
    void RefreshModemStatus();
    void OutCombo_Click();
    void RXBitsNrListBox_Click();
    void ClearButton_Click();
    void CreateViewMenu();
    void ViewStampKinds_Click();
    // How the tick breaks lines, as the lists and the View menu say now.
    LineRules ReceiveLineRules() const;

    // The timeline (monitor/).
    void CreateTimelineMenu(QMenu* viewMenu);
    // Takes a send into the timeline, right after its write.
    void ShowSent(const QByteArray& payload);
    // Shows each box's text in the chosen notation: RXOut the timeline when it is on.
    void ShowTexts();
    // After a tick or a send: the timeline's new entries, or the timeline
    // shown or left when the operation changed.
    void GrowTimeline();
    bool TimelineWanted() const;
    TimelineRules TimelineLayout() const;
    void NoteModemLines(int32_t lines);
    // Starts the text log of the timeline; false, after a message, when the file cannot be opened.
    bool StartTextLog(const QString& path);
    // Writes the timeline's new lines to the text log, when one is open.
    void LogTimeline();

    // Transmit (transmit/).
    void SendButton_Click();
    void TXDataTypeListBox_Click();
    void SendData_KeyDown(int key, bool autoRepeat);
    void SendData_KeyUp(int key, bool autoRepeat);
    // The one write of every send, typed or not; false after a failed write (its message shown).
    bool SendPayload(const QByteArray& payload);
    // The bytes of a text in a notation as Send reads it; nullopt after its validation message.
    std::optional<QByteArray> ComposePayload(const QString& text, int notation, bool cr, bool lf);
    // Sends a text as Send does: its validation message, the write, the X10 exchange; false when refused.
    bool SendComposed(const QString& text, int notation, bool cr, bool lf);

    // Sending without typing: a repeated send, a file, macros, answers (transmit/).
    void WireSending();
    // Menus that send follow the connection; runs also after every Init or Disc.
    void RefreshSendingMenus();
    // A port is open and its device there.
    bool CanSendNow() const;
    void PortRepeatMenu_Click();
    void RepeatStep();
    void StopRepeat();
    void CreateFileBar();
    void FileSendMenu_Click();
    void FileSendStep();
    // Ends the file's sending; a message tells why when why is not empty.
    void StopFileSend(const QString& why = {});
    // The macro bar (hidden) and the keys F1 to F12.
    void CreateMacroBar();
    void PortMacrosMenu_Click();
    void SendMacro(int slot);
    void ShowMacroCaptions();
    // The macro bar's height when it is shown in room under the boxes, else 0.
    int MacroBarHeight(int room) const;
    // At the bottom of the client area; hidden at height 0.
    void PlaceMacroBar(int height);
    void PortAnswersMenu_Click();
    void StartAnswers();
    void AnswerReceived();

    // X10 additions to the Send action (x10/).
    void X10ChecksumExchange(const QByteArray& payload);
    void ResetX10Interface();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    frmMain& window_;
    void CreateControls();
    void WireHandlers();
    void FitToClientArea();
    void OpenFindBar();
    // The second-port list: every port but PortName, none selected.
    void FillAltComList();
    // Ends a break under way on the primary port (at once when it disconnects).
    void EndBreak();
    void LogReceived(const QByteArray& first, const QByteArray& second);
    // The window's title, naming the log while one is open.
    void ShowLogState();
    void ReportLogFailure(const QString& path, const QString& reason);
    void ReportDeviceGone(int port, const QString& portName);
    // Asks the driver whether it lost received bytes; says so once per connect.
    void CheckInputLost(int port, win32::HANDLE handle, const QString& portName);

    QWidget* clientArea_ = nullptr;
    // The controls under the boxes and their places at the first size.
    std::vector<std::pair<QWidget*, QRect>> underBoxes_;
    bool boxesSideBySide_ = false;
    PortWatcher* portWatcher_ = nullptr;
    QTimer* breakTimer_ = nullptr; // ends the break
    bool breakOn_ = false;         // the primary port's line is held in the break state
    bool portsChanged_ = false; // while a port was open
    bool waiting_[2] = {false, false}; // for each port's device to return
    QTimer* retryTimer_ = nullptr;

    // The checkable entries of the View and Port menus, kept by their names.
    QList<QAction*> KeptMenuChoices() const;
    QVariantMap CurrentChoices() const;
    void PutBackSending(const modZEMO::Macros& macros, const modZEMO::Answers& answers);
    session::ChoiceFile choiceFile_;
    QTimer* saveTimer_ = nullptr; // gathers a burst of changes into one write
    QSet<const QAction*> writtenMenuChoices_; // the entries checked at the written start
    QSize keptSize_; // the window's size as last kept
    SendingState* sending_ = nullptr;
    bool timelineShown_ = false; // RXOut shows ConversationText, one box wide
    int32_t modemLines_ = -1;    // the modem lines last read, -1: none yet
    std::optional<win32::DWORD> shownModemStatus_; // what the indicators show; none: to be written

    // Shared steps of the connect routines (profiles/).
    enum class LineOrder { DtrFirst, RtsFirst };
    enum class LineBoxes { Enabled, Disabled };
    enum class SettingsLock { PortOnly, AllSettings };
    void ConnectFixed(const profiles::FixedProfile& profile);
    void SelectFixedSettings(lists::Speed speed);
    void WriteListSettings(win32::DCB& dcb) const;
    void TickLineBoxes(LineOrder order, LineBoxes boxes);
    void ShowConnected(SettingsLock lock);
};
