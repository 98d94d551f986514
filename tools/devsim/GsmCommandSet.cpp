#include "devsim/GsmCommandSet.h"

#include <QRegularExpression>

#include <algorithm>

namespace devsim {

namespace {
using Outcome = GsmCommandSet::Outcome;
using Kind = Outcome::Kind;
using Form = ExtendedCommand::Form;

constexpr const char* Manufacturer = "Wendale";
constexpr const char* Model = "DevSim GSM";
constexpr const char* Revision = "Revision 1.0";
constexpr const char* SerialNumber = "490154203237518";
constexpr const char* SubscriberIdentity = "001010123456789";
// Long, short and numeric name: the test network's country and network codes 001 01.
const QString OperatorNames[] = {QStringLiteral("Wendale Mobile"), QStringLiteral("Wendale"), QStringLiteral("00101")};
const QByteArray Memory = "SM";
constexpr int MaxTpduLength = 164;
constexpr int MaxSeptets = 160;
constexpr int MaxUcs2Characters = 70;
constexpr int InternationalType = 145;
constexpr int UnknownType = 129;

enum Error {
    OperationNotSupported = 4,
    NetworkNotAllowed = 32,
    SmsOperationNotAllowed = 302,
    InvalidPduParameter = 304,
    InvalidTextParameter = 305,
    InvalidMemoryIndex = 321,
};
const std::pair<int, const char*> ErrorTexts[] = {
    {OperationNotSupported, "operation not supported"},
    {NetworkNotAllowed, "network not allowed - emergency calls only"},
    {SmsOperationNotAllowed, "operation not allowed"},
    {InvalidPduParameter, "invalid PDU mode parameter"},
    {InvalidTextParameter, "invalid text mode parameter"},
    {InvalidMemoryIndex, "invalid memory index"},
};

struct Answer {
    const char* name;
    Form form;
    const char* text;
};
// What a command answers that never changes; a test form listed with an
// empty text answers OK alone.
const Answer FixedAnswers[] = {
    {"+CGMI", Form::Action, Manufacturer},
    {"+CGMM", Form::Action, Model},
    {"+CGMR", Form::Action, Revision},
    {"+CGSN", Form::Action, SerialNumber},
    {"+GMI", Form::Action, Manufacturer},
    {"+GMM", Form::Action, Model},
    {"+GMR", Form::Action, Revision},
    {"+GSN", Form::Action, SerialNumber},
    {"+CIMI", Form::Action, SubscriberIdentity},
    {"+CSQ", Form::Action, "+CSQ: 21,0"},
    {"+CPIN", Form::Query, "+CPIN: READY"},
    {"+CGATT", Form::Query, "+CGATT: 1"},
    {"+CGMI", Form::Test, ""},
    {"+CGMM", Form::Test, ""},
    {"+CGMR", Form::Test, ""},
    {"+CGSN", Form::Test, ""},
    {"+CIMI", Form::Test, ""},
    {"+CPIN", Form::Test, ""},
    {"+CSCA", Form::Test, ""},
    {"+CMGR", Form::Test, ""},
    {"+CMGS", Form::Test, ""},
    {"+CSQ", Form::Test, "+CSQ: (0-31,99),(0-7,99)"},
    {"+CMEE", Form::Test, "+CMEE: (0-2)"},
    {"+CMGF", Form::Test, "+CMGF: (0,1)"},
    {"+CSDH", Form::Test, "+CSDH: (0,1)"},
    {"+CREG", Form::Test, "+CREG: (0-2)"},
    {"+CGREG", Form::Test, "+CGREG: (0-2)"},
    {"+CGATT", Form::Test, "+CGATT: (0,1)"},
    {"+CFUN", Form::Test, "+CFUN: (0-4),(0,1)"},
    {"+CSCS", Form::Test, "+CSCS: (\"GSM\",\"IRA\",\"UCS2\")"},
    {"+CSMS", Form::Test, "+CSMS: (0,1)"},
    {"+CPMS", Form::Test, "+CPMS: (\"SM\"),(\"SM\"),(\"SM\")"},
    {"+CNMI", Form::Test, "+CNMI: (0-2),(0-3),(0,2),(0-2),(0,1)"},
    // With the optional access technology (GSM), which some clients cannot do without.
    {"+COPS", Form::Test, "+COPS: (2,\"Wendale Mobile\",\"Wendale\",\"00101\",0),,(0-4),(0-2)"},
};

Outcome Ok(const QByteArray& info = {})
{
    return {Kind::Ok, 0, info};
}
Outcome Error()
{
    return {Kind::Error, 0, {}};
}
Outcome MeError(int code)
{
    return {Kind::MeError, code, {}};
}
Outcome SmsError(int code)
{
    return {Kind::SmsError, code, {}};
}

QByteArray Number(int value)
{
    return QByteArray::number(value);
}

bool IsPhoneNumber(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral("^\\+?[0-9*#]{1,20}$"));
    return pattern.match(text).hasMatch();
}

int NumberType(const QByteArray& number)
{
    return number.startsWith('+') ? InternationalType : UnknownType;
}

QByteArray TextTimeStamp(const QDateTime& time)
{
    const int quarters = time.offsetFromUtc() / 900;
    return time.toString(QStringLiteral("yy/MM/dd,hh:mm:ss")).toLatin1() + (quarters < 0 ? '-' : '+')
        + Number(std::abs(quarters)).rightJustified(2, '0');
}
}

QByteArray GsmCommandSet::Identity()
{
    return QByteArray(Manufacturer) + ' ' + Model;
}

Outcome GsmCommandSet::Run(const ExtendedCommand& command)
{
    for (const Answer& answer : FixedAnswers) {
        if (command.name == answer.name && command.form == answer.form)
            return Ok(answer.text);
    }
    static const NumericSetting numericSettings[] = {
        {"+CMEE", &Settings::errorReports, 2},
        {"+CMGF", &Settings::messageFormat, 1},
        {"+CSDH", &Settings::headerDetails, 1},
    };
    for (const NumericSetting& setting : numericSettings) {
        if (command.name == setting.name)
            return RunNumericSetting(setting, command);
    }
    static const std::pair<const char*, Handler> handlers[] = {
        {"+CFUN", &GsmCommandSet::Functionality},         {"+CREG", &GsmCommandSet::Registration},
        {"+CGREG", &GsmCommandSet::Registration},         {"+COPS", &GsmCommandSet::NetworkOperator},
        {"+CSCS", &GsmCommandSet::CharacterSet},          {"+CSMS", &GsmCommandSet::MessageService},
        {"+CSCA", &GsmCommandSet::ServiceCentre},         {"+CPMS", &GsmCommandSet::MessageMemory},
        {"+CNMI", &GsmCommandSet::NewMessageIndications}, {"+CMGL", &GsmCommandSet::ListMessages},
        {"+CMGR", &GsmCommandSet::ReadMessage},           {"+CMGD", &GsmCommandSet::DeleteMessage},
        {"+CMGS", &GsmCommandSet::SendMessage},
    };
    for (const auto& [name, handler] : handlers) {
        if (command.name == name)
            return (this->*handler)(command);
    }
    return Error();
}

QByteArray GsmCommandSet::ErrorResult(const Outcome& outcome) const
{
    if (outcome.kind == Kind::Error || settings_.errorReports == 0)
        return "ERROR";
    const QByteArray prefix = outcome.kind == Kind::SmsError ? "+CMS ERROR: " : "+CME ERROR: ";
    if (settings_.errorReports == 1)
        return prefix + Number(outcome.code);
    const auto text = std::find_if(std::begin(ErrorTexts), std::end(ErrorTexts),
                                   [&](const auto& entry) { return entry.first == outcome.code; });
    return prefix + (text == std::end(ErrorTexts) ? "unknown" : text->second);
}

std::vector<GsmCommandSet::SentMessage> GsmCommandSet::SentMessages() const
{
    std::lock_guard lock(sentMutex_);
    return sent_;
}

Outcome GsmCommandSet::RunNumericSetting(const NumericSetting& setting, const ExtendedCommand& command)
{
    int& value = settings_.*setting.value;
    if (command.form == Form::Query)
        return Ok(QByteArray(setting.name) + ": " + Number(value));
    const auto wanted = command.Number(0);
    if (command.form != Form::Set || command.arguments.size() != 1 || !wanted || *wanted > setting.max)
        return Error();
    value = *wanted;
    return Ok();
}

Outcome GsmCommandSet::Functionality(const ExtendedCommand& command)
{
    // A second argument may ask for a restart first, which takes no time here.
    const NumericSetting setting{"+CFUN", &Settings::functionality, 4};
    if (command.form != Form::Set || command.arguments.size() < 2)
        return RunNumericSetting(setting, command);
    const auto restart = command.Number(1, 0);
    if (command.arguments.size() > 2 || !restart || *restart > 1)
        return Error();
    return RunNumericSetting(setting, {command.name, command.form, {command.arguments[0]}});
}

Outcome GsmCommandSet::Registration(const ExtendedCommand& command)
{
    // Registered in the home network, for calls (+CREG) and for packet data (+CGREG).
    const NumericSetting setting = command.name == "+CREG"
        ? NumericSetting{"+CREG", &Settings::registrationReports, 2}
        : NumericSetting{"+CGREG", &Settings::packetRegistrationReports, 2};
    if (command.form != Form::Query)
        return RunNumericSetting(setting, command);
    const int reports = settings_.*setting.value;
    QByteArray answer = command.name + ": " + Number(reports) + ",1";
    if (reports == 2)
        answer += ",\"00C3\",\"1A2B\"";
    return Ok(answer);
}

Outcome GsmCommandSet::NetworkOperator(const ExtendedCommand& command)
{
    if (command.form == Form::Query) {
        const int format = settings_.operatorFormat;
        return Ok("+COPS: 0," + Number(format) + ',' + Quoted(OperatorNames[format]));
    }
    const auto mode = command.Number(0);
    const auto format = command.Number(1, settings_.operatorFormat);
    if (command.form != Form::Set || command.arguments.size() > 3 || !mode || *mode > 4 || !format || *format > 2)
        return Error();
    if (*mode == 1 || *mode == 4) {
        const auto name = command.String(2);
        const auto text = name ? FromTe(*name, settings_.charset) : std::nullopt;
        if (!text)
            return Error();
        if (*text != OperatorNames[*format])
            return MeError(NetworkNotAllowed);
    }
    settings_.operatorFormat = *format;
    return Ok();
}

Outcome GsmCommandSet::CharacterSet(const ExtendedCommand& command)
{
    if (command.form == Form::Query)
        return Ok("+CSCS: \"" + TeCharsetName(settings_.charset) + '"');
    const auto name = command.String(0);
    if (command.form != Form::Set || command.arguments.size() != 1 || !name)
        return Error();
    const auto charset = TeCharsetNamed(*name);
    if (!charset)
        return MeError(OperationNotSupported);
    settings_.charset = *charset;
    return Ok();
}

Outcome GsmCommandSet::MessageService(const ExtendedCommand& command)
{
    if (command.form == Form::Query)
        return Ok("+CSMS: 0,1,1,1");
    const auto service = command.Number(0);
    if (command.form != Form::Set || command.arguments.size() != 1 || !service || *service > 1)
        return Error();
    return Ok("+CSMS: 1,1,1");
}

Outcome GsmCommandSet::ServiceCentre(const ExtendedCommand& command)
{
    if (command.form == Form::Query)
        return Ok("+CSCA: " + Quoted(QString::fromLatin1(serviceCentre_)) + ',' + Number(NumberType(serviceCentre_)));
    const auto address = command.String(0);
    const auto text = address ? FromTe(*address, settings_.charset) : std::nullopt;
    const auto type = command.Number(1, UnknownType);
    if (command.form != Form::Set || command.arguments.size() > 2 || !text || !IsPhoneNumber(*text)
        || (type != UnknownType && type != InternationalType))
        return Error();
    serviceCentre_ = text->toLatin1();
    return Ok();
}

Outcome GsmCommandSet::MessageMemory(const ExtendedCommand& command)
{
    if (command.form == Form::Query) {
        const QByteArray one = '"' + Memory + "\"," + MemoryUse();
        return Ok("+CPMS: " + one + ',' + one + ',' + one);
    }
    if (command.form != Form::Set || command.arguments.empty() || command.arguments.size() > 3)
        return Error();
    for (size_t i = 0; i < command.arguments.size(); ++i) {
        const auto name = command.String(i);
        if (!name)
            return Error();
        if (*name != Memory && FromTe(*name, settings_.charset) != QString::fromLatin1(Memory))
            return SmsError(SmsOperationNotAllowed);
    }
    return Ok("+CPMS: " + MemoryUse() + ',' + MemoryUse() + ',' + MemoryUse());
}

Outcome GsmCommandSet::NewMessageIndications(const ExtendedCommand& command)
{
    std::vector<int>& values = settings_.indications;
    if (command.form == Form::Query) {
        QByteArrayList parts;
        for (const int value : values)
            parts += Number(value);
        return Ok("+CNMI: " + parts.join(','));
    }
    static const int maxima[] = {2, 3, 2, 2, 1};
    if (command.form != Form::Set || command.arguments.size() > values.size())
        return Error();
    std::vector<int> wanted = values;
    for (size_t i = 0; i < command.arguments.size(); ++i) {
        const auto value = command.Number(i, values[i]);
        if (!value || *value > maxima[i] || (i == 2 && *value == 1))
            return Error();
        wanted[i] = *value;
    }
    values = wanted;
    return Ok();
}

Outcome GsmCommandSet::ListMessages(const ExtendedCommand& command)
{
    std::optional<SmsStore::Status> status = SmsStore::Status::ReceivedUnread;
    if (command.form == Form::Test) {
        if (!TextMode())
            return Ok("+CMGL: (0-4)");
        return Ok("+CMGL: (\"REC UNREAD\",\"REC READ\",\"STO UNSENT\",\"STO SENT\",\"ALL\")");
    }
    if (command.form == Form::Set) {
        if (command.arguments.size() != 1)
            return Error();
        if (TextMode()) {
            const auto name = command.String(0);
            status = name ? SmsStore::StatusNamed(*name) : std::nullopt;
        } else {
            const auto value = command.Number(0);
            status = value && *value <= 4 ? std::optional(SmsStore::Status(*value)) : std::nullopt;
        }
    }
    if (!status || command.form == Form::Query)
        return Error();
    QByteArrayList lines;
    for (const SmsStore::Entry& entry : store_.List(*status))
        lines += EntryLines("+CMGL: " + Number(entry.index) + ',', entry, true);
    return Ok(lines.join("\r\n"));
}

Outcome GsmCommandSet::ReadMessage(const ExtendedCommand& command)
{
    const auto index = command.Number(0);
    if (command.form != Form::Set || command.arguments.size() != 1 || !index)
        return Error();
    if (!store_.IsValidIndex(*index))
        return SmsError(InvalidMemoryIndex);
    const auto entry = store_.Read(*index);
    if (!entry)
        return SmsError(InvalidMemoryIndex);
    return Ok(EntryLines("+CMGR: ", *entry, false));
}

Outcome GsmCommandSet::DeleteMessage(const ExtendedCommand& command)
{
    if (command.form == Form::Test) {
        QByteArrayList used;
        for (const SmsStore::Entry& entry : store_.List(SmsStore::Status::All))
            used += Number(entry.index);
        return Ok("+CMGD: (" + used.join(',') + "),(0-4)");
    }
    const auto index = command.Number(0);
    const auto flag = command.Number(1, 0);
    if (command.form != Form::Set || command.arguments.size() > 2 || !index || !flag || *flag > 4)
        return Error();
    if (*flag > 0) {
        store_.RemoveAll(*flag);
        return Ok();
    }
    if (!store_.IsValidIndex(*index))
        return SmsError(InvalidMemoryIndex);
    store_.Remove(*index);
    return Ok();
}

Outcome GsmCommandSet::SendMessage(const ExtendedCommand& command)
{
    if (command.form != Form::Set)
        return Error();
    if (!TextMode()) {
        const auto length = command.Number(0);
        if (command.arguments.size() != 1 || !length || *length < 1 || *length > MaxTpduLength)
            return Error();
        pduLength_ = *length;
        return {Kind::Prompt, 0, {}};
    }
    const auto address = command.String(0);
    const auto recipient = address ? FromTe(*address, settings_.charset) : std::nullopt;
    const auto type = command.Number(1, UnknownType);
    if (command.arguments.size() > 2 || !recipient || !IsPhoneNumber(*recipient)
        || (type != UnknownType && type != InternationalType))
        return Error();
    recipient_ = recipient->toLatin1();
    return {Kind::Prompt, 0, {}};
}

Outcome GsmCommandSet::Send(const QByteArray& body)
{
    SentMessage message;
    if (TextMode()) {
        const auto text = FromTe(body, settings_.charset);
        const auto septets = text ? ToGsmSeptets(*text) : std::nullopt;
        if (!text || (septets ? septets->size() > MaxSeptets : text->size() > MaxUcs2Characters))
            return SmsError(InvalidTextParameter);
        message = {recipient_, *text};
    } else {
        QByteArray hex = body;
        hex.replace('\n', QByteArray());
        const auto sms = DecodeSubmitted(hex, pduLength_);
        if (!sms)
            return SmsError(InvalidPduParameter);
        message = {sms->destination, sms->text};
    }
    {
        std::lock_guard lock(sentMutex_);
        sent_.push_back(message);
    }
    reference_ = reference_ % 255 + 1;
    return Ok("+CMGS: " + Number(reference_));
}

QByteArray GsmCommandSet::Quoted(const QString& text) const
{
    return '"' + ToTe(text, settings_.charset) + '"';
}

QByteArray GsmCommandSet::MemoryUse() const
{
    return Number(store_.Used()) + ',' + Number(SmsStore::Capacity);
}

QByteArray GsmCommandSet::EntryLines(const QByteArray& header, const SmsStore::Entry& entry, bool listing) const
{
    const DeliveredSms& sms = entry.sms;
    if (!TextMode()) {
        const Pdu pdu = EncodeDelivered(sms);
        return header + Number(int(entry.status)) + ",," + Number(pdu.tpduLength) + "\r\n" + pdu.hex;
    }
    const auto septets = ToGsmSeptets(sms.text);
    // A UCS2 message shows as hexadecimal whatever the character set.
    const QByteArray body = ToTe(sms.text, septets ? settings_.charset : TeCharset::Ucs2);
    const QByteArray length = Number(septets ? int(sms.text.size()) : int(sms.text.size()) * 2);
    QByteArray line = header + '"' + SmsStore::StatusName(entry.status) + "\","
        + Quoted(QString::fromLatin1(sms.sender)) + ",,\"" + TextTimeStamp(sms.sent) + '"';
    if (settings_.headerDetails == 1) {
        const QByteArray senderType = Number(NumberType(sms.sender));
        if (listing)
            line += ',' + senderType + ',' + length;
        else
            line += ',' + senderType + ",4,0," + (septets ? "0," : "8,")
                + Quoted(QString::fromLatin1(sms.serviceCentre)) + ',' + Number(NumberType(sms.serviceCentre)) + ','
                + length;
    }
    return line + "\r\n" + body;
}

}
