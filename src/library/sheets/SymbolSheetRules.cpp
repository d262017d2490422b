#include "library/sheets/SymbolSheetRules.h"

#include <QLocale>
#include <cmath>

namespace symbolsheets {

ControlStates controlStatesFor(bool locked, bool autoDetaches, bool sequenceable)
{
    ControlStates states;
    states.fields = !locked;
    states.sequenceable = !locked && !autoDetaches;
    states.sequenceKind = states.sequenceable && sequenceable;
    states.sequenceableShown = sequenceable && !autoDetaches;
    return states;
}

QStringList defaultApplyToAllKeys()
{
    return {QStringLiteral("name"),          QStringLiteral("userDescription"), QStringLiteral("autoDetachesInstances"),
            QStringLiteral("detachesStyle"), QStringLiteral("sequenceable"),    QStringLiteral("defaultSequenceKind"),
            QStringLiteral("locked"),        QStringLiteral("prescale")};
}

QStringList keysOfCheckBox(const QString& checkBox)
{
    if (checkBox == QLatin1String("sequenceable"))
        return {QStringLiteral("sequenceable"), QStringLiteral("defaultSequenceKind")};
    if (checkBox == QLatin1String("defaultSequenceKind") || !defaultApplyToAllKeys().contains(checkBox))
        return {};
    return {checkBox};
}

QStringList keysWithKeyState(QStringList keys, const QString& key, bool on)
{
    if (!on) {
        keys.removeAll(key);
        return keys;
    }
    if (!keys.contains(key))
        keys.append(key);
    const QString locked = QStringLiteral("locked");
    if (keys.removeAll(locked) > 0)
        keys.append(locked);
    return keys;
}

qsizetype activeKeyCount(const QStringList& keys, const QVariantMap& settings)
{
    qsizetype count = 0;
    for (const QString& key : keys)
        count += settings.contains(key) ? 1 : 0;
    return count;
}

std::optional<double> prescaleFromText(const QString& text)
{
    bool ok = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value) || value <= 0 || value > kLargestPrescale)
        return std::nullopt;
    return value;
}

} // namespace symbolsheets
