#include "SimulatedPorts.h"

#include "Cm11Device.h"
#include "CreativeIrDevice.h"
#include "GsmTerminal.h"
#include "IrmanDevice.h"
#include "RelayEnd.h"
#include "TalkerDevice.h"

namespace devsim {

bool SimulatedPorts::open(const SimulationOptions &options, QString *error)
{
    auto talker = std::make_unique<TalkerDevice>(QStringLiteral("COM1"));
    talker->setStreamRate(options.talkerRate);
    auto cm11 = std::make_unique<Cm11Device>();
    cm11->setPollInterval(options.cm11Poll);
    cm11->setPowerLineDelay(options.cm11LineDelay);
    auto query = std::make_unique<RelayEnd>(RelayEnd::Role::Query);
    query->setStreamRate(options.relayRate);
    auto reply = std::make_unique<RelayEnd>(RelayEnd::Role::Reply);
    reply->setStreamRate(options.relayRate);

    std::pair<const char *, std::unique_ptr<SimDevice>> lineup[] = {
        {"talker", std::move(talker)},
        {"irman", std::make_unique<IrmanDevice>()},
        {"creative-ir", std::make_unique<CreativeIrDevice>()},
        {"x10-cm11", std::move(cm11)},
        {"gsm", std::make_unique<GsmTerminal>()},
        {"relay-query", std::move(query)},
        {"relay-reply", std::move(reply)},
    };
    int number = 1;
    for (auto &[kind, device] : lineup) {
        auto pty = std::make_unique<Pty>();
        if (!pty->isOpen()) {
            *error = pty->errorString();
            m_ports.clear();
            return false;
        }
        // The simulator may run for days: keep no record of the traffic.
        device->setRecording(false);
        device->attach(*pty);
        m_ports.push_back({QStringLiteral("COM%1").arg(number++), QString::fromLatin1(kind),
                           std::move(pty), std::move(device)});
    }
    return true;
}

void SimulatedPorts::start()
{
    for (Port &port : m_ports)
        port.device->start();
}

}
