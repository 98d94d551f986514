#pragma once

#include "AtCommand.h"
#include "GsmAlphabet.h"
#include "SmsStore.h"

#include <QString>

#include <mutex>
#include <vector>

namespace devsim {

// The extended AT commands of the GSM terminal: identification, PIN, network,
// signal, and short messages in text and PDU mode with a message memory.
// The terminal around it handles the command line, echo and result codes.
class GsmCommandSet
{
public:
    struct Outcome
    {
        enum class Kind { Ok, Error, MeError, SmsError, Prompt };
        Kind kind = Kind::Ok;
        int code = 0;       // +CME ERROR / +CMS ERROR number
        QByteArray info;    // the information lines, joined by CR LF
    };

    struct SentMessage
    {
        QByteArray number;
        QString text;
    };

    // What ATI shows.
    static QByteArray identity();

    Outcome run(const ExtendedCommand &command);
    // The message after a Prompt outcome, without its Ctrl-Z.
    Outcome send(const QByteArray &body);
    // "ERROR", or "+CME ERROR: ..." / "+CMS ERROR: ..." as +CMEE asks.
    QByteArray errorResult(const Outcome &outcome) const;
    // ATZ and AT&F: the settings go back to their first values.
    void reset() { m_settings = Settings(); }
    // Readable from any thread.
    std::vector<SentMessage> sentMessages() const;

private:
    struct Settings
    {
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
    struct NumericSetting
    {
        const char *name;
        int Settings::*value;
        int max;
    };
    using Handler = Outcome (GsmCommandSet::*)(const ExtendedCommand &);

    Outcome numericSetting(const NumericSetting &setting, const ExtendedCommand &command);
    Outcome functionality(const ExtendedCommand &command);
    Outcome registration(const ExtendedCommand &command);
    Outcome networkOperator(const ExtendedCommand &command);
    Outcome characterSet(const ExtendedCommand &command);
    Outcome messageService(const ExtendedCommand &command);
    Outcome serviceCentre(const ExtendedCommand &command);
    Outcome messageMemory(const ExtendedCommand &command);
    Outcome newMessageIndications(const ExtendedCommand &command);
    Outcome listMessages(const ExtendedCommand &command);
    Outcome readMessage(const ExtendedCommand &command);
    Outcome deleteMessage(const ExtendedCommand &command);
    Outcome sendMessage(const ExtendedCommand &command);

    bool textMode() const { return m_settings.messageFormat == 1; }
    QByteArray quoted(const QString &text) const;
    QByteArray memoryUse() const;
    // A stored message as +CMGL (listing) or +CMGR shows it: a header line, then its text or PDU.
    QByteArray entryLines(const QByteArray &header, const SmsStore::Entry &entry, bool listing) const;

    Settings m_settings;
    SmsStore m_store = SmsStore::withSamples();
    QByteArray m_serviceCentre = "+15550000";
    QByteArray m_recipient;
    int m_pduLength = 0;
    int m_reference = 0;
    mutable std::mutex m_sentMutex;
    std::vector<SentMessage> m_sent;
};

}
