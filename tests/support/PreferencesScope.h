#pragma once

namespace testsupport {

// Changes fields of a process-wide preferences value (a type with current() and setCurrent(),
// such as VXDrawingPreferences) for the scope and puts the whole value back on any exit, so a
// failing assertion cannot leave it changed for the tests that follow:
//     const PreferencesScope shadows(&VXDrawingPreferences::willDrawShadows, false);
template <class Preferences>
class PreferencesScope {
public:
    PreferencesScope()
        : m_saved(Preferences::current())
    {
    }
    template <class Field, class Value>
    PreferencesScope(Field Preferences::*field, const Value& value)
        : PreferencesScope()
    {
        set(field, value);
    }
    ~PreferencesScope() { Preferences::setCurrent(m_saved); }
    PreferencesScope(const PreferencesScope&) = delete;
    PreferencesScope& operator=(const PreferencesScope&) = delete;

    template <class Field, class Value>
    void set(Field Preferences::*field, const Value& value) const
    {
        Preferences preferences = Preferences::current();
        preferences.*field = value;
        Preferences::setCurrent(preferences);
    }
    const Preferences& saved() const { return m_saved; }

private:
    const Preferences m_saved;
};

} // namespace testsupport
