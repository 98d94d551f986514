#include "app/frmMain.h"

void frmMain::Timer1_Timer() {}
void frmMain::msTimer_Timer() {}
void frmMain::RefreshModemStatus() {}
void frmMain::OutCombo_Click() {}
void frmMain::RXBitsNrListBox_Click() {}
void frmMain::ClearButton_Click() {}
