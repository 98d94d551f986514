#pragma once

#include <QMainWindow>
#include <memory>

class MainForm;

// The one window. Its controls, state and procedures are its form's
// (MainForm), which no one outside the window reaches.
class frmMain : public QMainWindow {
    Q_OBJECT

public:
    // How the window starts: with the choices of the last run, or as written (--defaults).
    enum class Start { SavedChoices, Defaults };
    explicit frmMain(Start start = Start::SavedChoices, QWidget* parent = nullptr);
    ~frmMain() override;

    // Starts logging what the primary port receives (and the second port's
    // beside it), as File > Log to File does; false, after a message, when
    // the file cannot be opened.
    bool StartLog(const QString& path);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    std::unique_ptr<MainForm> form_;
};
