#include "app/frmMain.h"

void frmMain::SendButton_Click() {}
void frmMain::TXDataTypeListBox_Click() {}
void frmMain::SendData_KeyDown(int, bool) {}
void frmMain::SendData_KeyUp(int, bool) {}
