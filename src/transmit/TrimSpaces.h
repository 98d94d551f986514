#pragma once

#include <QString>

namespace modZEMO {

// Removes leading and trailing spaces (code 32 only; tabs and the like stay).
QString TrimSpaces(const QString& text);

}
