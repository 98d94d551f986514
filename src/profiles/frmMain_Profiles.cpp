#include "app/frmMain.h"

void frmMain::ConnectGeneric() {}
void frmMain::ConnectIRMan() {}
void frmMain::ConnectCreativeInfra() {}
void frmMain::ConnectGSMData() {}
void frmMain::ConnectTransparent() {}
void frmMain::ResetButton() {}
