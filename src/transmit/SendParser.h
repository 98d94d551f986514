#pragma once

#include <QByteArray>
#include <QString>
#include <variant>

// The text-to-bytes step of the Send action: no widgets, no port.
namespace modZEMO {

// The indexes of TXDataTypeListBox.
enum class TransmitDataType : int { Hex = 0, Dec = 1, Bin = 2, Char = 3 };

// Why a text was not sent. The message goes out as an information box;
// focusSendData says whether SendData takes the focus afterwards.
// An empty message means there was nothing to report (no notation selected).
struct SendRefusal {
    QString message;
    bool focusSendData = false;
};

// Either the bytes to write or the refusal.
using SendPayload = std::variant<QByteArray, SendRefusal>;

// trimmedText is the typed text with its outer spaces removed; notation is
// the TransmitDataType index; cr and lf are the two boxes, used in Char only.
// Characters map to bytes by their code, so a Char text may only hold codes 0..255.
SendPayload BuildPayload(const QString& trimmedText, int notation, bool cr, bool lf);

}
