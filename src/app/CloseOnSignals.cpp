#include "app/CloseOnSignals.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QWidget>

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::array Signals{SIGTERM, SIGINT, SIGHUP};

volatile sig_atomic_t wakeFd = -1;
std::array<struct sigaction, Signals.size()> previous{};
std::array<bool, Signals.size()> taken{};

void Wake(int)
{
    const int saved = errno;
    const char byte = 0;
    (void)!::write(wakeFd, &byte, 1);
    errno = saved;
}

void GiveBack()
{
    for (size_t i = 0; i < Signals.size(); ++i) {
        if (taken[i])
            sigaction(Signals[i], &previous[i], nullptr);
        taken[i] = false;
    }
}

}

CloseOnSignals::CloseOnSignals(QWidget& window)
    : window_(window)
{
    // Without the pipe the signals keep what they did.
    if (pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    wakeFd = pipe_[1];
    notifier_ = new QSocketNotifier(pipe_[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &CloseOnSignals::Close);

    struct sigaction wake {};
    wake.sa_handler = Wake;
    sigemptyset(&wake.sa_mask);
    wake.sa_flags = SA_RESTART;
    for (size_t i = 0; i < Signals.size(); ++i) {
        sigaction(Signals[i], nullptr, &previous[i]);
        taken[i] = previous[i].sa_handler != SIG_IGN;
        if (taken[i])
            sigaction(Signals[i], &wake, nullptr);
    }
}

CloseOnSignals::~CloseOnSignals()
{
    GiveBack();
    wakeFd = -1;
    for (int fd : pipe_) {
        if (fd >= 0)
            ::close(fd);
    }
}

void CloseOnSignals::Close()
{
    notifier_->setEnabled(false);
    GiveBack();
    // A box or dialog that is up would keep the window's closing waiting behind it.
    while (QWidget* modal = QApplication::activeModalWidget())
        modal->close();
    window_.close();
}
