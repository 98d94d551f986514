#include "GsmCommandSet.h"

#include <QRegularExpression>

#include <algorithm>

namespace devsim {

namespace {
using Outcome = GsmCommandSet::Outcome;
using Kind = Outcome::Kind;
using Form = ExtendedCommand::Form;

constexpr const char *Manufacturer = "Wendale";
constexpr const char *Model = "DevSim GSM";
constexpr const char *Revision = "Revision 1.0";
constexpr const char *SerialNumber = "490154203237518";
constexpr const char *SubscriberIdentity = "001010123456789";
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
const std::pair<int, const char *> ErrorTexts[] = {
    {OperationNotSupported, "operation not supported"},
    {NetworkNotAllowed, "network not allowed - emergency calls only"},
    {SmsOperationNotAllowed, "operation not allowed"},
    {InvalidPduParameter, "invalid PDU mode parameter"},
    {InvalidTextParameter, "invalid text mode parameter"},
    {InvalidMemoryIndex, "invalid memory index"},
};

struct Answer
{
    const char *name;
    Form form;
    const char *text;
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

Outcome ok(const QByteArray &info = {})
{
    return {Kind::Ok, 0, info};
}
Outcome error()
{
    return {Kind::Error, 0, {}};
}
Outcome meError(int code)
{
    return {Kind::MeError, code, {}};
}
Outcome smsError(int code)
{
    return {Kind::SmsError, code, {}};
}

QByteArray number(int value)
{
    return QByteArray::number(value);
}

bool isPhoneNumber(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("^\\+?[0-9*#]{1,20}$"));
    return pattern.match(text).hasMatch();
}

int numberType(const QByteArray &number)
{
    return number.startsWith('+') ? InternationalType : UnknownType;
}

QByteArray textTimeStamp(const QDateTime &time)
{
    const int quarters = time.offsetFromUtc() / 900;
    return time.toString(QStringLiteral("yy/MM/dd,hh:mm:ss")).toLatin1() + (quarters < 0 ? '-' : '+')
        + number(std::abs(quarters)).rightJustified(2, '0');
}
}

QByteArray GsmCommandSet::identity()
{
    return QByteArray(Manufacturer) + ' ' + Model;
}

Outcome GsmCommandSet::run(const ExtendedCommand &command)
{
    for (const Answer &answer : FixedAnswers) {
        if (command.name == answer.name && command.form == answer.form)
            return ok(answer.text);
    }
    static const NumericSetting numericSettings[] = {
        {"+CMEE", &Settings::errorReports, 2},
        {"+CMGF", &Settings::messageFormat, 1},
        {"+CSDH", &Settings::headerDetails, 1},
    };
    for (const NumericSetting &setting : numericSettings) {
        if (command.name == setting.name)
            return numericSetting(setting, command);
    }
    static const std::pair<const char *, Handler> handlers[] = {
        {"+CFUN", &GsmCommandSet::functionality},
        {"+CREG", &GsmCommandSet::registration},
        {"+CGREG", &GsmCommandSet::registration},
        {"+COPS", &GsmCommandSet::networkOperator},
        {"+CSCS", &GsmCommandSet::characterSet},
        {"+CSMS", &GsmCommandSet::messageService},
        {"+CSCA", &GsmCommandSet::serviceCentre},
        {"+CPMS", &GsmCommandSet::messageMemory},
        {"+CNMI", &GsmCommandSet::newMessageIndications},
        {"+CMGL", &GsmCommandSet::listMessages},
        {"+CMGR", &GsmCommandSet::readMessage},
        {"+CMGD", &GsmCommandSet::deleteMessage},
        {"+CMGS", &GsmCommandSet::sendMessage},
    };
    for (const auto &[name, handler] : handlers) {
        if (command.name == name)
            return (this->*handler)(command);
    }
    return error();
}

QByteArray GsmCommandSet::errorResult(const Outcome &outcome) const
{
    if (outcome.kind == Kind::Error || m_settings.errorReports == 0)
        return "ERROR";
    const QByteArray prefix = outcome.kind == Kind::SmsError ? "+CMS ERROR: " : "+CME ERROR: ";
    if (m_settings.errorReports == 1)
        return prefix + number(outcome.code);
    const auto text = std::find_if(std::begin(ErrorTexts), std::end(ErrorTexts),
                                   [&](const auto &entry) { return entry.first == outcome.code; });
    return prefix + (text == std::end(ErrorTexts) ? "unknown" : text->second);
}

std::vector<GsmCommandSet::SentMessage> GsmCommandSet::sentMessages() const
{
    std::lock_guard lock(m_sentMutex);
    return m_sent;
}

Outcome GsmCommandSet::numericSetting(const NumericSetting &setting, const ExtendedCommand &command)
{
    int &value = m_settings.*setting.value;
    if (command.form == Form::Query)
        return ok(QByteArray(setting.name) + ": " + number(value));
    const auto wanted = command.number(0);
    if (command.form != Form::Set || command.arguments.size() != 1 || !wanted || *wanted > setting.max)
        return error();
    value = *wanted;
    return ok();
}

Outcome GsmCommandSet::functionality(const ExtendedCommand &command)
{
    // A second argument may ask for a restart first, which takes no time here.
    const NumericSetting setting{"+CFUN", &Settings::functionality, 4};
    if (command.form != Form::Set || command.arguments.size() < 2)
        return numericSetting(setting, command);
    const auto restart = command.number(1, 0);
    if (command.arguments.size() > 2 || !restart || *restart > 1)
        return error();
    return numericSetting(setting, {command.name, command.form, {command.arguments[0]}});
}

Outcome GsmCommandSet::registration(const ExtendedCommand &command)
{
    // Registered in the home network, for calls (+CREG) and for packet data (+CGREG).
    const NumericSetting setting = command.name == "+CREG"
        ? NumericSetting{"+CREG", &Settings::registrationReports, 2}
        : NumericSetting{"+CGREG", &Settings::packetRegistrationReports, 2};
    if (command.form != Form::Query)
        return numericSetting(setting, command);
    const int reports = m_settings.*setting.value;
    QByteArray answer = command.name + ": " + number(reports) + ",1";
    if (reports == 2)
        answer += ",\"00C3\",\"1A2B\"";
    return ok(answer);
}

Outcome GsmCommandSet::networkOperator(const ExtendedCommand &command)
{
    if (command.form == Form::Query) {
        const int format = m_settings.operatorFormat;
        return ok("+COPS: 0," + number(format) + ',' + quoted(OperatorNames[format]));
    }
    const auto mode = command.number(0);
    const auto format = command.number(1, m_settings.operatorFormat);
    if (command.form != Form::Set || command.arguments.size() > 3 || !mode || *mode > 4 || !format || *format > 2)
        return error();
    if (*mode == 1 || *mode == 4) {
        const auto name = command.string(2);
        const auto text = name ? fromTe(*name, m_settings.charset) : std::nullopt;
        if (!text)
            return error();
        if (*text != OperatorNames[*format])
            return meError(NetworkNotAllowed);
    }
    m_settings.operatorFormat = *format;
    return ok();
}

Outcome GsmCommandSet::characterSet(const ExtendedCommand &command)
{
    if (command.form == Form::Query)
        return ok("+CSCS: \"" + teCharsetName(m_settings.charset) + '"');
    const auto name = command.string(0);
    if (command.form != Form::Set || command.arguments.size() != 1 || !name)
        return error();
    const auto charset = teCharsetNamed(*name);
    if (!charset)
        return meError(OperationNotSupported);
    m_settings.charset = *charset;
    return ok();
}

Outcome GsmCommandSet::messageService(const ExtendedCommand &command)
{
    if (command.form == Form::Query)
        return ok("+CSMS: 0,1,1,1");
    const auto service = command.number(0);
    if (command.form != Form::Set || command.arguments.size() != 1 || !service || *service > 1)
        return error();
    return ok("+CSMS: 1,1,1");
}

Outcome GsmCommandSet::serviceCentre(const ExtendedCommand &command)
{
    if (command.form == Form::Query)
        return ok("+CSCA: " + quoted(QString::fromLatin1(m_serviceCentre)) + ',' + number(numberType(m_serviceCentre)));
    const auto address = command.string(0);
    const auto text = address ? fromTe(*address, m_settings.charset) : std::nullopt;
    const auto type = command.number(1, UnknownType);
    if (command.form != Form::Set || command.arguments.size() > 2 || !text || !isPhoneNumber(*text)
        || (type != UnknownType && type != InternationalType))
        return error();
    m_serviceCentre = text->toLatin1();
    return ok();
}

Outcome GsmCommandSet::messageMemory(const ExtendedCommand &command)
{
    if (command.form == Form::Query) {
        const QByteArray one = '"' + Memory + "\"," + memoryUse();
        return ok("+CPMS: " + one + ',' + one + ',' + one);
    }
    if (command.form != Form::Set || command.arguments.empty() || command.arguments.size() > 3)
        return error();
    for (size_t i = 0; i < command.arguments.size(); ++i) {
        const auto name = command.string(i);
        if (!name)
            return error();
        if (*name != Memory && fromTe(*name, m_settings.charset) != QString::fromLatin1(Memory))
            return smsError(SmsOperationNotAllowed);
    }
    return ok("+CPMS: " + memoryUse() + ',' + memoryUse() + ',' + memoryUse());
}

Outcome GsmCommandSet::newMessageIndications(const ExtendedCommand &command)
{
    std::vector<int> &values = m_settings.indications;
    if (command.form == Form::Query) {
        QByteArrayList parts;
        for (const int value : values)
            parts += number(value);
        return ok("+CNMI: " + parts.join(','));
    }
    static const int maxima[] = {2, 3, 2, 2, 1};
    if (command.form != Form::Set || command.arguments.size() > values.size())
        return error();
    std::vector<int> wanted = values;
    for (size_t i = 0; i < command.arguments.size(); ++i) {
        const auto value = command.number(i, values[i]);
        if (!value || *value > maxima[i] || (i == 2 && *value == 1))
            return error();
        wanted[i] = *value;
    }
    values = wanted;
    return ok();
}

Outcome GsmCommandSet::listMessages(const ExtendedCommand &command)
{
    std::optional<SmsStore::Status> status = SmsStore::Status::ReceivedUnread;
    if (command.form == Form::Test) {
        if (!textMode())
            return ok("+CMGL: (0-4)");
        return ok("+CMGL: (\"REC UNREAD\",\"REC READ\",\"STO UNSENT\",\"STO SENT\",\"ALL\")");
    }
    if (command.form == Form::Set) {
        if (command.arguments.size() != 1)
            return error();
        if (textMode()) {
            const auto name = command.string(0);
            status = name ? SmsStore::statusNamed(*name) : std::nullopt;
        } else {
            const auto value = command.number(0);
            status = value && *value <= 4 ? std::optional(SmsStore::Status(*value)) : std::nullopt;
        }
    }
    if (!status || command.form == Form::Query)
        return error();
    QByteArrayList lines;
    for (const SmsStore::Entry &entry : m_store.list(*status))
        lines += entryLines("+CMGL: " + number(entry.index) + ',', entry, true);
    return ok(lines.join("\r\n"));
}

Outcome GsmCommandSet::readMessage(const ExtendedCommand &command)
{
    const auto index = command.number(0);
    if (command.form != Form::Set || command.arguments.size() != 1 || !index)
        return error();
    if (!m_store.isValidIndex(*index))
        return smsError(InvalidMemoryIndex);
    const auto entry = m_store.read(*index);
    if (!entry)
        return smsError(InvalidMemoryIndex);
    return ok(entryLines("+CMGR: ", *entry, false));
}

Outcome GsmCommandSet::deleteMessage(const ExtendedCommand &command)
{
    if (command.form == Form::Test) {
        QByteArrayList used;
        for (const SmsStore::Entry &entry : m_store.list(SmsStore::Status::All))
            used += number(entry.index);
        return ok("+CMGD: (" + used.join(',') + "),(0-4)");
    }
    const auto index = command.number(0);
    const auto flag = command.number(1, 0);
    if (command.form != Form::Set || command.arguments.size() > 2 || !index || !flag || *flag > 4)
        return error();
    if (*flag > 0) {
        m_store.removeAll(*flag);
        return ok();
    }
    if (!m_store.isValidIndex(*index))
        return smsError(InvalidMemoryIndex);
    m_store.remove(*index);
    return ok();
}

Outcome GsmCommandSet::sendMessage(const ExtendedCommand &command)
{
    if (command.form != Form::Set)
        return error();
    if (!textMode()) {
        const auto length = command.number(0);
        if (command.arguments.size() != 1 || !length || *length < 1 || *length > MaxTpduLength)
            return error();
        m_pduLength = *length;
        return {Kind::Prompt, 0, {}};
    }
    const auto address = command.string(0);
    const auto recipient = address ? fromTe(*address, m_settings.charset) : std::nullopt;
    const auto type = command.number(1, UnknownType);
    if (command.arguments.size() > 2 || !recipient || !isPhoneNumber(*recipient)
        || (type != UnknownType && type != InternationalType))
        return error();
    m_recipient = recipient->toLatin1();
    return {Kind::Prompt, 0, {}};
}

Outcome GsmCommandSet::send(const QByteArray &body)
{
    SentMessage message;
    if (textMode()) {
        const auto text = fromTe(body, m_settings.charset);
        const auto septets = text ? toGsmSeptets(*text) : std::nullopt;
        if (!text || (septets ? septets->size() > MaxSeptets : text->size() > MaxUcs2Characters))
            return smsError(InvalidTextParameter);
        message = {m_recipient, *text};
    } else {
        QByteArray hex = body;
        hex.replace('\n', QByteArray());
        const auto sms = decodeSubmitted(hex, m_pduLength);
        if (!sms)
            return smsError(InvalidPduParameter);
        message = {sms->destination, sms->text};
    }
    {
        std::lock_guard lock(m_sentMutex);
        m_sent.push_back(message);
    }
    m_reference = m_reference % 255 + 1;
    return ok("+CMGS: " + number(m_reference));
}

QByteArray GsmCommandSet::quoted(const QString &text) const
{
    return '"' + toTe(text, m_settings.charset) + '"';
}

QByteArray GsmCommandSet::memoryUse() const
{
    return number(m_store.used()) + ',' + number(SmsStore::Capacity);
}

QByteArray GsmCommandSet::entryLines(const QByteArray &header, const SmsStore::Entry &entry, bool listing) const
{
    const DeliveredSms &sms = entry.sms;
    if (!textMode()) {
        const Pdu pdu = encodeDelivered(sms);
        return header + number(int(entry.status)) + ",," + number(pdu.tpduLength) + "\r\n" + pdu.hex;
    }
    const auto septets = toGsmSeptets(sms.text);
    // A UCS2 message shows as hexadecimal whatever the character set.
    const QByteArray body = toTe(sms.text, septets ? m_settings.charset : TeCharset::Ucs2);
    const QByteArray length = number(septets ? int(sms.text.size()) : int(sms.text.size()) * 2);
    QByteArray line = header + '"' + SmsStore::statusName(entry.status) + "\"," + quoted(QString::fromLatin1(sms.sender))
        + ",,\"" + textTimeStamp(sms.sent) + '"';
    if (m_settings.headerDetails == 1) {
        const QByteArray senderType = number(numberType(sms.sender));
        if (listing)
            line += ',' + senderType + ',' + length;
        else
            line += ',' + senderType + ",4,0," + (septets ? "0," : "8,") + quoted(QString::fromLatin1(sms.serviceCentre))
                + ',' + number(numberType(sms.serviceCentre)) + ',' + length;
    }
    return line + "\r\n" + body;
}

}
