#include "transmit/Macros.h"


namespace modZEMO {

QString MacroCaption(const Macros& macros, int i)
{
    const QString& name = macros[size_t(i)].name;
    return name.isEmpty() ? QStringLiteral("F%1").arg(i + 1) : name;
}

void SaveMacros(QVariantMap& choices, const Macros& macros)
{
    for (int i = 0; i < MacroCount; ++i) {
        const Macro& macro = macros[size_t(i)];
        const QString slot = QStringLiteral("Macros/F%1/").arg(i + 1);
        choices.insert(slot + QLatin1String("Name"), macro.name);
        choices.insert(slot + QLatin1String("Text"), macro.text);
        choices.insert(slot + QLatin1String("Notation"), macro.notation);
        choices.insert(slot + QLatin1String("CR"), macro.cr);
        choices.insert(slot + QLatin1String("LF"), macro.lf);
    }
}

Macros LoadMacros(const QVariantMap& choices)
{
    Macros macros;
    for (int i = 0; i < MacroCount; ++i) {
        Macro& macro = macros[size_t(i)];
        const QString slot = QStringLiteral("Macros/F%1/").arg(i + 1);
        macro.name = choices.value(slot + QLatin1String("Name")).toString();
        macro.text = choices.value(slot + QLatin1String("Text")).toString();
        // A notation the list does not have is read as characters.
        const int notation = choices.value(slot + QLatin1String("Notation"), macro.notation).toInt();
        macro.notation = notation >= 0 && notation <= int(TransmitDataType::Char) ? notation : macro.notation;
        macro.cr = choices.value(slot + QLatin1String("CR")).toBool();
        macro.lf = choices.value(slot + QLatin1String("LF")).toBool();
    }
    return macros;
}

}
