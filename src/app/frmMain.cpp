#include "app/frmMain.h"
#include "app/MainForm.h"

#include <QCloseEvent>

frmMain::frmMain(Start start, QWidget* parent)
    : QMainWindow(parent)
    , form_(std::make_unique<MainForm>(*this, start == Start::SavedChoices))
{
}

frmMain::~frmMain() = default;

bool frmMain::StartLog(const QString& path)
{
    return form_->StartLog(path);
}

void frmMain::closeEvent(QCloseEvent* event)
{
    form_->Form_Unload();
    event->accept();
}
