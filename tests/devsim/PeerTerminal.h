#pragma once

// The program's side of a simulated device's pseudo-terminal, for the tests:
// the device runs on a DeviceHost thread while the test reads here with
// bounded waits.

#include "DeviceHost.h"
#include "Pty.h"
#include "TerminalMode.h"

#include <QByteArray>
#include <QDeadlineTimer>

#include <chrono>
#include <memory>
#include <poll.h>
#include <unistd.h>

using namespace std::chrono_literals;

class PeerTerminal
{
public:
    explicit PeerTerminal(const QString &path) : m_fd(devsim::openRawTerminal(path, true, &m_error)) {}
    ~PeerTerminal()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    PeerTerminal(const PeerTerminal &) = delete;
    PeerTerminal &operator=(const PeerTerminal &) = delete;

    bool isOpen() const { return m_fd >= 0; }
    QString error() const { return m_error; }

    // Writes every byte, waiting for room when the terminal is full.
    bool send(const QByteArray &bytes)
    {
        qsizetype done = 0;
        const QDeadlineTimer deadline(5s);
        while (done < bytes.size() && !deadline.hasExpired()) {
            const ssize_t n = ::write(m_fd, bytes.constData() + done, size_t(bytes.size() - done));
            if (n > 0)
                done += n;
            else
                waitReady(POLLOUT, deadline);
        }
        return done == bytes.size();
    }

    // Everything read so far and not taken.
    const QByteArray &buffer() const { return m_buffer; }
    QByteArray takeAll() { return std::exchange(m_buffer, {}); }

    // Reads until the buffer holds the text or the time is up.
    bool waitFor(const QByteArray &text, std::chrono::milliseconds timeout = 3s)
    {
        return readWhile([&] { return !m_buffer.contains(text); }, timeout);
    }
    bool waitForSize(qsizetype size, std::chrono::milliseconds timeout = 3s)
    {
        return readWhile([&] { return m_buffer.size() < size; }, timeout);
    }
    // Reads whatever arrives during the whole time.
    void collect(std::chrono::milliseconds duration)
    {
        readWhile([] { return true; }, duration);
    }

private:
    template <class Condition>
    bool readWhile(Condition more, std::chrono::milliseconds timeout)
    {
        const QDeadlineTimer deadline(timeout);
        while (more()) {
            char chunk[4096];
            const ssize_t n = ::read(m_fd, chunk, sizeof chunk);
            if (n > 0)
                m_buffer.append(chunk, n);
            else if (deadline.hasExpired() || !waitReady(POLLIN, deadline))
                return !more();
        }
        return true;
    }

    bool waitReady(short events, const QDeadlineTimer &deadline)
    {
        pollfd p{m_fd, events, 0};
        return ::poll(&p, 1, int(std::max<qint64>(deadline.remainingTime(), 0))) > 0;
    }

    int m_fd;
    QString m_error;
    QByteArray m_buffer;
};

// A device on a pty of its own, run on a thread, with the test's end opened.
// Configure `device` before run().
template <class Device>
struct DeviceRig
{
    template <class... Args>
    explicit DeviceRig(Args &&...args) : device(std::forward<Args>(args)...)
    {
        device.attach(pty);
    }

    PeerTerminal &run()
    {
        host = std::make_unique<devsim::DeviceHost>();
        host->run(device);
        peer = std::make_unique<PeerTerminal>(pty.slavePath());
        return *peer;
    }

    devsim::Pty pty;
    Device device;
    std::unique_ptr<devsim::DeviceHost> host;
    std::unique_ptr<PeerTerminal> peer;
};
