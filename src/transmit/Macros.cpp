#include "transmit/Macros.h"

#include <QSettings>

#include <algorithm>

namespace modZEMO {

QString MacroCaption(const Macros& macros, int i)
{
    const QString& name = macros[size_t(i)].name;
    return name.isEmpty() ? QStringLiteral("F%1").arg(i + 1) : name;
}

void SaveMacros(QSettings& settings, const Macros& macros)
{
    settings.beginWriteArray(QStringLiteral("Macros"), MacroCount);
    for (int i = 0; i < MacroCount; ++i) {
        const Macro& macro = macros[size_t(i)];
        settings.setArrayIndex(i);
        settings.setValue(QStringLiteral("Name"), macro.name);
        settings.setValue(QStringLiteral("Text"), macro.text);
        settings.setValue(QStringLiteral("Notation"), macro.notation);
        settings.setValue(QStringLiteral("CR"), macro.cr);
        settings.setValue(QStringLiteral("LF"), macro.lf);
    }
    settings.endArray();
}

Macros LoadMacros(QSettings& settings)
{
    Macros macros;
    const int count = std::min(settings.beginReadArray(QStringLiteral("Macros")), MacroCount);
    for (int i = 0; i < count; ++i) {
        Macro& macro = macros[size_t(i)];
        settings.setArrayIndex(i);
        macro.name = settings.value(QStringLiteral("Name")).toString();
        macro.text = settings.value(QStringLiteral("Text")).toString();
        // A notation the list does not have is read as characters.
        const int notation = settings.value(QStringLiteral("Notation"), macro.notation).toInt();
        macro.notation = notation >= 0 && notation <= int(TransmitDataType::Char) ? notation : macro.notation;
        macro.cr = settings.value(QStringLiteral("CR")).toBool();
        macro.lf = settings.value(QStringLiteral("LF")).toBool();
    }
    settings.endArray();
    return macros;
}

}
