#pragma once

#include "devsim/Pty.h"
#include "devsim/SimDevice.h"

#include <chrono>
#include <memory>
#include <vector>

namespace devsim {

struct SimulationOptions {
    int talkerRate = 0; // bytes per second of the talker's sequence; 0 for text lines
    int relayRate = 0; // bytes per second each way between the relay ends; 0 for queries
    std::chrono::milliseconds cm11Poll{1000};
    std::chrono::milliseconds cm11LineDelay{200};
};

// The fixed line-up of simulated devices, each on a pseudo-terminal of its
// own: COM1 talker, COM2 IRMan, COM3 Creative infrared, COM4 X10 CM11,
// COM5 GSM terminal, COM6 and COM7 the two ends of the relay pair.
class PortMap {
public:
    struct Port {
        QString comName;
        QString kind;
        std::unique_ptr<Pty> pty;
        std::unique_ptr<SimDevice> device;
    };

    bool Open(const SimulationOptions& options, QString* error);
    const std::vector<Port>& Ports() const { return ports_; }
    // Starts every device in the calling thread's event loop.
    void Start();

private:
    std::vector<Port> ports_;
};

}
