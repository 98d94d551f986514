#pragma once

#include <QStringList>

// Keeps what the port layer reports as failing for the life of the object,
// in a test without a window.
class FailureRecorder {
public:
    FailureRecorder();
    ~FailureRecorder();
    FailureRecorder(const FailureRecorder&) = delete;
    FailureRecorder& operator=(const FailureRecorder&) = delete;

    const QStringList& Texts() const { return texts_; }

private:
    QStringList texts_;
};
