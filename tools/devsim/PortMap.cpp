#include "devsim/PortMap.h"

#include "devsim/Cm11Device.h"
#include "devsim/CreativeIrDevice.h"
#include "devsim/GsmTerminal.h"
#include "devsim/IrmanDevice.h"
#include "devsim/RelayEnd.h"
#include "devsim/TalkerDevice.h"

namespace devsim {

bool PortMap::Open(const SimulationOptions& options, QString* error)
{
    auto talker = std::make_unique<TalkerDevice>(QStringLiteral("COM1"));
    talker->SetStreamRate(options.talkerRate);
    auto cm11 = std::make_unique<Cm11Device>();
    cm11->SetPollInterval(options.cm11Poll);
    cm11->SetPowerLineDelay(options.cm11LineDelay);
    auto query = std::make_unique<RelayEnd>(RelayEnd::Role::Query);
    query->SetStreamRate(options.relayRate);
    auto reply = std::make_unique<RelayEnd>(RelayEnd::Role::Reply);
    reply->SetStreamRate(options.relayRate);

    std::pair<const char*, std::unique_ptr<SimDevice>> lineup[] = {
        {"talker", std::move(talker)},
        {"irman", std::make_unique<IrmanDevice>()},
        {"creative-ir", std::make_unique<CreativeIrDevice>()},
        {"x10-cm11", std::move(cm11)},
        {"gsm", std::make_unique<GsmTerminal>()},
        {"relay-query", std::move(query)},
        {"relay-reply", std::move(reply)},
    };
    int number = 1;
    for (auto& [kind, device] : lineup) {
        auto pty = std::make_unique<Pty>();
        if (!pty->IsOpen()) {
            *error = pty->ErrorString();
            ports_.clear();
            return false;
        }
        // The simulator may run for days: keep no record of the traffic.
        device->SetRecording(false);
        device->Attach(*pty);
        ports_.push_back(
            {QStringLiteral("COM%1").arg(number++), QString::fromLatin1(kind), std::move(pty), std::move(device)});
    }
    return true;
}

void PortMap::Start()
{
    for (Port& port : ports_)
        port.device->Start();
}

}
