#pragma once

#include "transmit/SendParser.h"

#include <QString>
#include <QVariantMap>
#include <array>

namespace modZEMO {

// A text sent by a key (F1 to F12) or its button, read as the send box
// reads its text.
struct Macro {
    QString name;
    QString text;
    int notation = int(TransmitDataType::Char); // a TransmitDataType index
    bool cr = false;
    bool lf = false;

    bool operator==(const Macro&) const = default;
};

constexpr int MacroCount = 12;
using Macros = std::array<Macro, MacroCount>;

// The caption of slot i (0..11) in the macro bar: its name, else its key.
QString MacroCaption(const Macros& macros, int i);

// As the saved choices keep them; slots never saved come back empty.
void SaveMacros(QVariantMap& choices, const Macros& macros);
Macros LoadMacros(const QVariantMap& choices);

}
