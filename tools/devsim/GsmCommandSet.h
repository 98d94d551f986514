#pragma once

#include "devsim/AtCommand.h"
#include "devsim/GsmAlphabet.h"
#include "devsim/SmsStore.h"

#include <QString>

#include <mutex>
#include <vector>

namespace devsim {

// The extended AT commands of the GSM terminal: identification, PIN, network,
// signal, and short messages in text and PDU mode with a message memory.
// The terminal around it handles the command line, echo and result codes.
class GsmCommandSet {
public:
    struct Outcome {
        enum class Kind { Ok, Error, MeError, SmsError, Prompt };
        Kind kind = Kind::Ok;
        int code = 0; // +CME ERROR / +CMS ERROR number
        QByteArray info; // the information lines, joined by CR LF
    };

    struct SentMessage {
        QByteArray number;
        QString text;
    };

    // What ATI shows.
    static QByteArray Identity();

    Outcome Run(const ExtendedCommand& command);
    // The message after a Prompt outcome, without its Ctrl-Z.
    Outcome Send(const QByteArray& body);
    // "ERROR", or "+CME ERROR: ..." / "+CMS ERROR: ..." as +CMEE asks.
    QByteArray ErrorResult(const Outcome& outcome) const;
    // ATZ and AT&F: the settings go back to their first values.
    void Reset() { settings_ = Settings(); }
    // Readable from any thread.
    std::vector<SentMessage> SentMessages() const;

private:
    struct Settings {
        int errorReports = 0;
        int messageFormat = 1;
        int headerDetails = 0;
        int registrationReports = 0;
        int packetRegistrationReports = 0;
        int functionality = 1;
        int operatorFormat = 0;
        TeCharset charset = TeCharset::Ira;
        std::vector<int> indications{0, 0, 0, 0, 0};
    };
    struct NumericSetting {
        const char* name;
        int Settings::*value;
        int max;
    };
    using Handler = Outcome (GsmCommandSet::*)(const ExtendedCommand&);

    Outcome RunNumericSetting(const NumericSetting& setting, const ExtendedCommand& command);
    Outcome Functionality(const ExtendedCommand& command);
    Outcome Registration(const ExtendedCommand& command);
    Outcome NetworkOperator(const ExtendedCommand& command);
    Outcome CharacterSet(const ExtendedCommand& command);
    Outcome MessageService(const ExtendedCommand& command);
    Outcome ServiceCentre(const ExtendedCommand& command);
    Outcome MessageMemory(const ExtendedCommand& command);
    Outcome NewMessageIndications(const ExtendedCommand& command);
    Outcome ListMessages(const ExtendedCommand& command);
    Outcome ReadMessage(const ExtendedCommand& command);
    Outcome DeleteMessage(const ExtendedCommand& command);
    Outcome SendMessage(const ExtendedCommand& command);

    bool TextMode() const { return settings_.messageFormat == 1; }
    QByteArray Quoted(const QString& text) const;
    QByteArray MemoryUse() const;
    // A stored message as +CMGL (listing) or +CMGR shows it: a header line, then its text or PDU.
    QByteArray EntryLines(const QByteArray& header, const SmsStore::Entry& entry, bool listing) const;

    Settings settings_;
    SmsStore store_ = SmsStore::WithSamples();
    QByteArray serviceCentre_ = "+15550000";
    QByteArray recipient_;
    int pduLength_ = 0;
    int reference_ = 0;
    mutable std::mutex sentMutex_;
    std::vector<SentMessage> sent_;
};

}
