#pragma once

// Checks, and where it can converts, a value proposed for one of the keys of a placed symbol
// that key-value coding and data transformers write: "style", "scaleFactor", "angle" and
// "labelAttributes". A value a key cannot take is refused with error 55 in the domain
// "Quorvane Error" (no error object for nothing proposed as label attributes); a converted
// value replaces the proposed one.

#include "platform/foundation/QuorvaneError.h"
#include "platform/vantrix/styles/VXStyle.h"

#include <QCoreApplication>
#include <QVariant>

class SymbolValueValidator {
    Q_DECLARE_TR_FUNCTIONS(SymbolValueValidator)

public:
    // `style` is the one the symbol draws with (none: it has none); with `groupMaster` the
    // master's graphic is a group, which draws its members' styles, so no style of the
    // symbol's applies.
    SymbolValueValidator(VXStylePtr style, bool groupMaster);

    // Whether `key` is one of the four this validator answers for.
    static bool validatesKey(const QString& key);
    bool validateValueForKey(QVariant& value, const QString& key, QuorvaneError* error) const;

    // None or a style passes; another value becomes a copy of the symbol's style holding it
    // (a colour fills), or a style made of it when the symbol has none.
    bool validateStyle(QVariant& value, QuorvaneError* error) const;
    // Finite numbers only, for "scaleFactor" and "angle".
    static bool validateNumber(const QVariant& value, const QString& key, QuorvaneError* error);
    // Styles with text attributes pass; a colour, a number (font size, 4...72), a font or a
    // "Name Size" string naming a font become a text style holding it.
    static bool validateLabelAttributes(QVariant& value, QuorvaneError* error);

private:
    // The proposed value is accepted as `style`, or refused for `key` when there is none.
    static bool accept(QVariant& value, const VXStylePtr& style, const QString& key, QuorvaneError* error);
    static bool refuse(const QString& key, QuorvaneError* error);
    VXStylePtr styleHoldingValue(const QVariant& value) const;

    VXStylePtr m_style;
    bool m_groupMaster = false;
};
