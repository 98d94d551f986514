#pragma once

#include <QString>

namespace modZEMO {

// The device path behind COMn, or the empty text when there is none.
QString ComDevicePath(int n);

}
