#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>

namespace devsim {

// Short messages as PDUs: the hexadecimal text that AT commands carry in
// PDU mode, the service centre's address first and then the TPDU.

// A message as the network delivered it to the phone (SMS-DELIVER).
struct DeliveredSms {
    QByteArray serviceCentre; // "+15550000" or digits without a plus
    QByteArray sender;
    QDateTime sent; // its offset from UTC goes into the time stamp
    QString text; // 7-bit when the GSM alphabet has every character, UCS2 otherwise
};

// A message the phone hands the network (SMS-SUBMIT).
struct SubmittedSms {
    QByteArray serviceCentre; // empty: the phone's own
    int reference = 0;
    QByteArray destination;
    QString text;
};

struct Pdu {
    QByteArray hex;
    int tpduLength = 0; // octets after the service centre's address, as +CMGL/+CMGR/+CMGS count them
};

Pdu EncodeDelivered(const DeliveredSms& sms);
// Reads an SMS-SUBMIT in 7-bit, 8-bit or UCS2 coding, with or without a user
// data header (which is skipped). Nothing when the hex, the length given with
// +CMGS or any field is wrong.
std::optional<SubmittedSms> DecodeSubmitted(const QByteArray& hex, int tpduLength);

}
