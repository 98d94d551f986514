#include "app/frmMain.h"

void frmMain::ConnectCM12() {}
void frmMain::X10ChecksumExchange(const QByteArray&) {}
void frmMain::ResetX10Interface() {}
