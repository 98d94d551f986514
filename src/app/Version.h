#pragma once

#include <QString>

namespace modZEMO {

// Major, minor and revision of the program in plain decimal, joined by ".".
inline const QString VersionString = QStringLiteral("%1.%2.%3")
                                         .arg(WENDALE_VERSION_MAJOR)
                                         .arg(WENDALE_VERSION_MINOR)
                                         .arg(WENDALE_VERSION_PATCH);

}
