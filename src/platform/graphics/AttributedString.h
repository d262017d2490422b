#pragma once

// Text with runs of attributes. An attribute is a name and a QVariant value; the names
// below are the ones layout understands, and any other name (a row index, a knockout
// distance) travels with the text untouched. Adjacent runs with equal attributes merge.
//
// Positions are UTF-16 indices as in QString. Ranges outside the text are clipped to it,
// so every call answers a defined value.

#include "platform/graphics/ParagraphStyle.h"

#include <QList>
#include <QMetaType>
#include <QString>
#include <QVariant>
#include <QVariantMap>
#include <functional>

namespace platform {

using TextAttributes = QVariantMap;

inline const QString kFontAttributeName = QStringLiteral("font");                         // QFont
inline const QString kForegroundColourAttributeName = QStringLiteral("foregroundColour"); // QColor
inline const QString kBackgroundColourAttributeName = QStringLiteral("backgroundColour"); // QColor
inline const QString kParagraphStyleAttributeName = QStringLiteral("paragraphStyle");     // ParagraphStyle
inline const QString kUnderlineStyleAttributeName = QStringLiteral("underlineStyle");     // int, 0 none
inline const QString kStrikethroughStyleAttributeName = QStringLiteral("strikethroughStyle"); // int, 0 none
inline const QString kKernAttributeName = QStringLiteral("kern");                         // double, points
inline const QString kBaselineOffsetAttributeName = QStringLiteral("baselineOffset");     // double, points up
inline const QString kSuperscriptAttributeName = QStringLiteral("superscript");           // int: >0 up, <0 down
// Standard attributes that layout leaves to whoever draws the glyphs (the text adornment does).
inline const QString kStrokeWidthAttributeName = QStringLiteral("strokeWidth");   // double, percent of the font size
inline const QString kStrokeColourAttributeName = QStringLiteral("strokeColour"); // QColor
inline const QString kShadowAttributeName = QStringLiteral("shadow");             // a shared shadow object

struct TextRange {
    qsizetype location = 0;
    qsizetype length = 0;
    qsizetype end() const { return location + length; }
    bool contains(qsizetype index) const { return index >= location && index < end(); }
    bool operator==(const TextRange&) const = default;
};

class AttributedString {
public:
    AttributedString() = default;
    explicit AttributedString(const QString& string, const TextAttributes& attributes = {});

    const QString& string() const { return m_string; }
    qsizetype length() const { return m_string.size(); }
    bool isEmpty() const { return m_string.isEmpty(); }

    // The attributes at `index` and the run that carries them; empty attributes and an
    // empty range at the end of the text for an index outside it.
    TextAttributes attributesAtIndexEffectiveRange(qsizetype index, TextRange* range = nullptr) const;
    // One attribute at `index`; `range` is the longest stretch within `rangeLimit` (the
    // whole text when omitted) around `index` over which its value does not change.
    QVariant attributeAtIndexLongestEffectiveRangeInRange(const QString& name, qsizetype index, TextRange* range,
                                                          TextRange rangeLimit) const;
    QVariant attributeAtIndexEffectiveRange(const QString& name, qsizetype index, TextRange* range = nullptr) const;
    AttributedString attributedSubstringFromRange(TextRange range) const;
    // Calls `block` with each run's attributes and its part of `range`, in order: one pass,
    // where asking run by run from an index would walk the runs again each time.
    void enumerateAttributesInRange(TextRange range,
                                    const std::function<void(const TextAttributes&, TextRange)>& block) const;

    void setAttributesRange(const TextAttributes& attributes, TextRange range);
    void addAttributeValueRange(const QString& name, const QVariant& value, TextRange range);
    void addAttributesRange(const TextAttributes& attributes, TextRange range);
    void removeAttributeRange(const QString& name, TextRange range);

    // Replaced text takes the attributes of the first character it replaces (of the
    // character before it when the range is empty).
    void replaceCharactersInRangeWithString(TextRange range, const QString& string);
    void replaceCharactersInRangeWithAttributedString(TextRange range, const AttributedString& replacement);
    void insertAttributedStringAtIndex(const AttributedString& string, qsizetype index);
    void appendAttributedString(const AttributedString& string);
    void deleteCharactersInRange(TextRange range);

    bool operator==(const AttributedString&) const = default;

private:
    struct Run {
        qsizetype length = 0;
        TextAttributes attributes;
        bool operator==(const Run&) const = default;
    };

    TextRange clipped(TextRange range) const;
    qsizetype runIndexAt(qsizetype index, qsizetype* runStart) const;
    // Splits runs so that `position` starts one; answers that run's index.
    qsizetype splitAt(qsizetype position);
    template <typename Change> void changeAttributes(TextRange range, Change change);
    void mergeRuns();

    QString m_string;
    QList<Run> m_runs; // lengths add up to the string's length; no empty runs
};

} // namespace platform

Q_DECLARE_METATYPE(platform::AttributedString)
