#pragma once

// The symbol sheets' rules that need no window: which controls a symbol's state enables, the
// keys the apply-to-all sheet sets, and the prescale a typed text stands for.

#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <optional>

namespace symbolsheets {

// Locked symbols edit nothing; auto-detaching ones are never sequenced, and show it.
struct ControlStates {
    bool fields = false;           // name, description, copy style, auto-detach, prescale
    bool sequenceable = false;     // the sequenceable check box
    bool sequenceKind = false;     // the default sequence kind pop-up
    bool sequenceableShown = false; // what the sequenceable box shows
};
ControlStates controlStatesFor(bool locked, bool autoDetaches, bool sequenceable);

// "name", "userDescription", "autoDetachesInstances", "detachesStyle", "sequenceable",
// "defaultSequenceKind", "locked", "prescale".
QStringList defaultApplyToAllKeys();
// The keys each check box of the apply-to-all sheet stands for ("sequenceable" and
// "defaultSequenceKind" go together); empty for an unknown box.
QStringList keysOfCheckBox(const QString& checkBox);
// Adds (keeping "locked" last, so a lock is set after everything it would refuse) or removes.
QStringList keysWithKeyState(QStringList keys, const QString& key, bool on);
// The keys that will change something: those in the list with a value in the settings.
qsizetype activeKeyCount(const QStringList& keys, const QVariantMap& settings);

// A typed prescale: a finite number above 0 and at most 1000; none for anything else.
inline constexpr double kLargestPrescale = 1000.0;
std::optional<double> prescaleFromText(const QString& text);

} // namespace symbolsheets
