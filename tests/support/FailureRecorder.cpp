#include "support/FailureRecorder.h"

#include "port/PortFailures.h"

FailureRecorder::FailureRecorder()
{
    modZEMO::SetFailureReporter([this](const QString& message) { texts_ << message; });
}

FailureRecorder::~FailureRecorder()
{
    modZEMO::SetFailureReporter({});
}
