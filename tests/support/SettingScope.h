#pragma once

#include <type_traits>
#include <utility>

namespace testsupport {

// Changes a process-wide setting for the scope and puts back the value it had on any exit, so
// a failing assertion cannot leave it changed for the tests that follow. The setting is read
// and written through a getter and a setter (function pointers or lambdas):
//     const SettingScope workaround(&VXGradientFill::pdfTransparencyWorkaround,
//                                   &VXGradientFill::setPdfTransparencyWorkaround, true);
template <class Getter, class Setter>
class SettingScope {
public:
    using Value = std::remove_cvref_t<std::invoke_result_t<Getter>>;

    // Only remembers the value, for a test that sets it itself through set().
    SettingScope(Getter get, Setter set)
        : m_set(std::move(set))
        , m_saved(get())
    {
    }
    SettingScope(Getter get, Setter set, const Value& value)
        : SettingScope(std::move(get), std::move(set))
    {
        m_set(value);
    }
    ~SettingScope() { m_set(m_saved); }
    SettingScope(const SettingScope&) = delete;
    SettingScope& operator=(const SettingScope&) = delete;

    void set(const Value& value) const { m_set(value); }
    const Value& saved() const { return m_saved; }

private:
    Setter m_set;
    Value m_saved;
};

} // namespace testsupport
