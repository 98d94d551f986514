#pragma once

#include <QString>
#include <functional>

// The port layer shows nothing itself: a failure the user must see goes to
// the reporter that the window installs.
namespace modZEMO {

using FailureReporter = std::function<void(const QString& message)>;
void SetFailureReporter(FailureReporter reporter);
void ReportFailure(const QString& message);

}
