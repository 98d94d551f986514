// Remote ports: the port layer against a real ser2net in front of a
// pseudo-terminal, for the RFC 2217 and the raw TCP kind, at 115 200 bit/s.
// Both ways at once at 11 520 bytes/s, the program reading every 10 ms in
// reads of 100 bytes as the window's tick does: bytes sent, received, lost
// and out of place, and the throughput. Then single bytes timed one at a
// time each way: median, 99th percentile and worst latency.
// Arguments: [seconds=10].
#include "port/Kernel32.h"
#include "port/ModZemoPorts.h"
#include "support/PtyPair.h"
#include "support/Ser2net.h"
#include "support/TestPortsDir.h"

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr int Rate = 11520; // 115 200 bit/s, 10 bits a byte
constexpr int LatencySamples = 200;
constexpr auto Tick = 10ms;
constexpr auto Drain = 5s;

double Seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

// A numbered stream: a lost, doubled or moved byte shows against it.
QByteArray Stream(qsizetype size)
{
    QByteArray data(size, 0);
    for (qsizetype i = 0; i < size; ++i)
        data[i] = char(i % 251);
    return data;
}

bool Configure(win32::HANDLE h, win32::COMMTIMEOUTS timeouts)
{
    win32::DCB dcb{};
    if (!win32::GetCommState(h, &dcb))
        return false;
    dcb.BaudRate = 115200;
    dcb.ByteSize = 8;
    dcb.Parity = win32::NOPARITY;
    dcb.StopBits = win32::ONESTOPBIT;
    dcb.flags = win32::fBinary;
    return win32::SetCommState(h, &dcb) && win32::SetCommTimeouts(h, &timeouts);
}

struct Arrived {
    QByteArray bytes;
    Clock::time_point last;
};

// Prints one direction; returns the bytes lost or out of place.
qint64 Report(const char* direction, const QByteArray& sent, const Arrived& got, Clock::time_point start)
{
    const qint64 lost = sent.size() - got.bytes.size();
    qint64 wrong = 0;
    for (qsizetype i = 0; i < got.bytes.size(); ++i)
        wrong += got.bytes[i] != sent[i];
    const double elapsed = Seconds(got.last - start);
    std::printf("  %s: sent %lld, received %lld, lost %lld, out of place %lld, %.0f bytes/s\n", direction,
                (long long)sent.size(), (long long)got.bytes.size(), (long long)lost, (long long)wrong,
                elapsed > 0 ? double(got.bytes.size()) / elapsed : 0.0);
    return lost + wrong;
}

void ReportLatency(const char* direction, std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    if (ms.empty()) {
        std::printf("  latency %s: no samples\n", direction);
        return;
    }
    std::printf("  latency %s: median %.2f ms, 99th percentile %.2f ms, worst %.2f ms (%zu bytes)\n", direction,
                ms[ms.size() / 2], ms[ms.size() * 99 / 100], ms.back(), ms.size());
}

qint64 Throughput(win32::HANDLE h, PtyPair& device, int seconds)
{
    const QByteArray data = Stream(qsizetype(Rate) * seconds);
    Arrived toProgram, toDevice;
    qsizetype deviceSent = 0, programSent = 0;
    const auto start = Clock::now();
    while (Clock::now() < start + std::chrono::seconds(seconds) + Drain
           && (toProgram.bytes.size() < data.size() || toDevice.bytes.size() < data.size())) {
        const auto due = std::min(data.size(), qsizetype(Rate * Seconds(Clock::now() - start)));
        if (deviceSent < due && device.Send(data.mid(deviceSent, due - deviceSent)))
            deviceSent = due;
        if (programSent < due && modZEMO::WritePort(h, data.mid(programSent, due - programSent)))
            programSent = due;
        for (QByteArray piece; !(piece = modZEMO::ReadPort(h)).isEmpty(); toProgram.last = Clock::now())
            toProgram.bytes += piece;
        if (const QByteArray piece = device.ReceiveAvailable(); !piece.isEmpty()) {
            toDevice.bytes += piece;
            toDevice.last = Clock::now();
        }
        std::this_thread::sleep_for(Tick);
    }
    return Report("device -> program", data, toProgram, start) + Report("program -> device", data, toDevice, start);
}

void Latency(win32::HANDLE h, PtyPair& device)
{
    std::vector<double> in, out;
    for (int i = 0; i < LatencySamples; ++i) {
        const char byte = char(i);
        auto t0 = Clock::now();
        device.Send(QByteArray(1, byte));
        char got = 0;
        win32::DWORD count = 0;
        if (!win32::ReadFile(h, &got, 1, &count, nullptr) || count != 1 || got != byte)
            break;
        in.push_back(Seconds(Clock::now() - t0) * 1000);
        t0 = Clock::now();
        if (!win32::WriteFile(h, &byte, 1, &count, nullptr) || device.Receive(1, 1000) != QByteArray(1, byte))
            break;
        out.push_back(Seconds(Clock::now() - t0) * 1000);
    }
    ReportLatency("device -> program", in);
    ReportLatency("program -> device", out);
}

}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    TestPortsDir ports;
    qint64 faults = 0;
    for (const bool raw : {false, true}) {
        // A server of its own for each kind: ser2net gives a device to one connection at a time.
        PtyPair device;
        Ser2net server(device.SlavePath());
        if (!server.Start()) {
            std::printf("ser2net did not start (is it installed?)\n");
            return 1;
        }
        const QString url = raw ? server.TcpUrl() : server.Rfc2217Url();
        ports.Link(1, url);
        const win32::HANDLE h = modZEMO::OpenPort(QStringLiteral("COM1"));
        // Reads that return at once, as the window sets them; then, for the
        // single bytes, reads that return as soon as a byte is there.
        if (h == win32::INVALID_HANDLE_VALUE || !Configure(h, {win32::MAXDWORD, 0, 0, 0, 0})) {
            std::printf("%s: could not open and set 115200 8N1\n", qPrintable(url));
            return 1;
        }
        std::printf("%s, 115200 8N1, %d s each way at once at %d bytes/s\n", qPrintable(url), seconds, Rate);
        std::fflush(stdout);
        faults += Throughput(h, device, seconds);
        Configure(h, {win32::MAXDWORD, win32::MAXDWORD, 1000, 0, 0});
        Latency(h, device);
        win32::CloseHandle(h);
    }
    return faults == 0 ? 0 : 1;
}
