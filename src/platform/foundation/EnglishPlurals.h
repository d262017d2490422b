#pragma once

// English plural forms for texts counted with tr("%n layer(s)", nullptr, n): "(s)" disappears
// for one and becomes "s" otherwise, as an English translation would have it. Installed
// first, so a translation installed later for another language answers before it.

#include <QTranslator>

namespace platform {

class EnglishPluralTranslator : public QTranslator {
public:
    using QTranslator::QTranslator;

    // Null for texts without a count or without "(s)", which Qt then shows as written.
    QString translate(const char* context, const char* sourceText, const char* disambiguation = nullptr,
                      int n = -1) const override;
    bool isEmpty() const override { return false; }

    // Installs one for the application's lifetime.
    static void install();
};

} // namespace platform
