#include "app/MainForm.h"
#include "app/frmMain.h"
#include "app/transmit/SendingDialogs.h"
#include "app/transmit/SendingState.h"
#include "transmit/TrimSpaces.h"

#include <QAction>
#include <QHBoxLayout>
#include <QPushButton>

namespace {

constexpr int BarHeight = 26;
constexpr int BarMargin = 120 / 15;

}

void MainForm::CreateMacroBar()
{
    sending_->macroBar = new QWidget(clientArea_);
    sending_->macroBar->setObjectName(QStringLiteral("MacroBar"));
    sending_->macroBar->hide();
    auto* row = new QHBoxLayout(sending_->macroBar);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    for (int i = 0; i < modZEMO::MacroCount; ++i) {
        auto* button = new QPushButton(sending_->macroBar);
        button->setObjectName(QStringLiteral("MacroButton%1").arg(i + 1));
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QPushButton::clicked, this, [this, i] { SendMacro(i); });
        sending_->macroButtons.append(button);
        row->addWidget(button);
        auto* key = new QAction(&window_);
        key->setShortcut(QKeySequence(Qt::Key_F1 + i));
        window_.addAction(key);
        connect(key, &QAction::triggered, this, [this, i] { SendMacro(i); });
    }
    ShowMacroCaptions();
}

void MainForm::PortMacrosMenu_Click()
{
    if (sending::EditMacros(&window_, sending_->macros))
        ShowMacroCaptions();
}

void MainForm::SendMacro(int slot)
{
    const modZEMO::Macro& macro = sending_->macros[size_t(slot)];
    const QString text = modZEMO::TrimSpaces(macro.text);
    // Where Send could not send, neither can a macro.
    if (text.isEmpty() || !CanSendNow() || !SendButton->isEnabled())
        return;
    SendComposed(text, macro.notation, macro.cr, macro.lf);
}

void MainForm::ShowMacroCaptions()
{
    for (int i = 0; i < modZEMO::MacroCount; ++i) {
        QPushButton* button = sending_->macroButtons[i];
        button->setText(modZEMO::MacroCaption(sending_->macros, i));
        button->setToolTip(QStringLiteral("F%1: %2").arg(i + 1).arg(sending_->macros[size_t(i)].text));
    }
}

int MainForm::MacroBarHeight(int room) const
{
    // Only in room beyond the first size, which stays as it is.
    return sending_ && ViewMacroBar->isChecked() && room >= BarHeight ? BarHeight : 0;
}

void MainForm::PlaceMacroBar(int height)
{
    if (!sending_)
        return;
    QWidget* bar = sending_->macroBar;
    bar->setGeometry(BarMargin, clientArea_->height() - height, clientArea_->width() - 2 * BarMargin, height);
    bar->setVisible(height > 0);
}
