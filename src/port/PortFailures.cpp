#include "port/PortFailures.h"

namespace modZEMO {

namespace {

FailureReporter& Reporter()
{
    static FailureReporter reporter;
    return reporter;
}

}

void SetFailureReporter(FailureReporter reporter)
{
    Reporter() = std::move(reporter);
}

void ReportFailure(const QString& message)
{
    if (const FailureReporter& reporter = Reporter())
        reporter(message);
}

}
