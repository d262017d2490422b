#pragma once

// One test of a search: read a value from the tested object by key path (the identifier),
// check that its kind fits the data type, compare it with the criterion's own value by one
// of the match kinds.
//
// Tested values: numbers (booleans among them) for Boolean, Integer, Float, Range and Set;
// QString for String; QDateTime for Date; anything for Object. No value (an invalid
// QVariant) fails every type but Object; the explicit null (platform::Null, a missing
// attribute) fails every test. Never throws for the values it reads: NaN and numbers out of
// range read as limits.

#include "panels/search/KeyPathReader.h"
#include "panels/search/SearchValues.h"
#include "platform/foundation/ZQObject.h"

#include <QDateTime>
#include <QStringMatcher>

enum MPSearchDataType {
    kMPBooleanType = 0,
    kMPIntegerType = 1,
    kMPFloatType = 2,
    kMPStringType = 3,
    kMPRangeType = 4,
    kMPSetType = 5,
    kMPObjectType = 6,
    kMPCustomType = 7,
    kMPDateType = 8,
};

enum MPSearchMatchKind {
    kMPIsEqualTo = 0,
    kMPIsGreaterThan = 1,
    kMPIsLessThan = 2,
    kMPIsEqualToOrGreaterThan = 3,
    kMPIsEqualToOrLessThan = 4,
    kMPIsNotEqualTo = 5,
    kMPIsWithinRange = 6,
    kMPIsNotWithinRange = 7,
    kMPContains = 8,
    kMPDoesNotContain = 9,
    kMPStartsWith = 10,
    kMPEndsWith = 11,
    kMPIsTrue = 12,
    kMPIsFalse = 13,
    kMPIsInSet = 14,
    kMPIsNotInSet = 15,
    kMPIsLike = 16,
    kMPIsNotLike = 17,
    kMPIsAfter = 18,
    kMPIsBefore = 19,
    kMPIsOn = 20,
    kMPIsNotOn = 21,
    kMPIsOnOrBefore = 22,
    kMPIsOnOrAfter = 23,
    kMPSoundsLike = 24,
};

class MPSearchCriterion;
using MPSearchCriterionPtr = std::shared_ptr<MPSearchCriterion>;

class MPSearchCriterion : public ZQObject {
    Q_OBJECT
    Q_PROPERTY(QString name READ name WRITE setName)
    Q_PROPERTY(QString identifier READ identifier WRITE setIdentifier)
    Q_PROPERTY(int matchKind READ matchKind WRITE setMatchKind)
    Q_PROPERTY(bool ignoresCase READ ignoresCase WRITE setIgnoresCase)
    Q_PROPERTY(int dataType READ dataType)
    Q_PROPERTY(double epsilon READ epsilon WRITE setEpsilon)

public:
    static constexpr double kDefaultEpsilon = 0.01;

    MPSearchCriterion();

    // Name and identifier none, ignores case, data type Integer, value 0.
    void initWithMatchKind(int matchKind);
    void initWithStringMatchKindIdentifier(const QString& value, int matchKind, const QString& identifier);
    void initWithBooleanMatchKindIdentifier(bool value, int matchKind, const QString& identifier);
    void initWithIntegerMatchKindIdentifier(qint32 value, int matchKind, const QString& identifier);
    void initWithFloatMatchKindIdentifier(double value, int matchKind, const QString& identifier);
    void initWithRangeMatchKindIdentifier(SearchRange value, int matchKind, const QString& identifier);
    void initWithObjectMatchKindIdentifier(const QVariant& value, int matchKind, const QString& identifier);
    void initWithIndexSetMatchKindIdentifier(const SearchIndexSet& value, int matchKind, const QString& identifier);
    void initWithDateMatchKindIdentifier(const QDateTime& value, int matchKind, const QString& identifier);

    static MPSearchCriterionPtr criterionWithStringMatchKindIdentifier(const QString& value, int matchKind,
                                                                       const QString& identifier);
    static MPSearchCriterionPtr criterionWithBooleanMatchKindIdentifier(bool value, int matchKind,
                                                                        const QString& identifier);
    static MPSearchCriterionPtr criterionWithIntegerMatchKindIdentifier(qint32 value, int matchKind,
                                                                        const QString& identifier);
    static MPSearchCriterionPtr criterionWithFloatMatchKindIdentifier(double value, int matchKind,
                                                                      const QString& identifier);
    static MPSearchCriterionPtr criterionWithRangeMatchKindIdentifier(SearchRange value, int matchKind,
                                                                      const QString& identifier);
    static MPSearchCriterionPtr criterionWithObjectMatchKindIdentifier(const QVariant& value, int matchKind,
                                                                       const QString& identifier);
    static MPSearchCriterionPtr criterionWithIndexSetMatchKindIdentifier(const SearchIndexSet& value, int matchKind,
                                                                         const QString& identifier);
    static MPSearchCriterionPtr criterionWithDateMatchKindIdentifier(const QDateTime& value, int matchKind,
                                                                     const QString& identifier);
    // A criterion holding the type's default value (Boolean true, 0, "", {0, 0}, the set {1},
    // no object, now); null above Date. The custom type makes an Object criterion.
    static MPSearchCriterionPtr criterionForDataTypeMatchKindIdentifier(int dataType, int matchKind,
                                                                        const QString& identifier);

    // --- Types and kinds ----------------------------------------------------------------------
    // Display names; empty for values out of range.
    static QString displayNameForType(int dataType);
    static QStringList displayNamesForAvailableTypes();
    static QString displayNameForMatchType(int matchKind);
    // The kinds the sheets offer for a type, the new criterion's first; empty for unknown types.
    static QList<int> matchKindsForType(int dataType);
    QStringList displayableMatchKinds() const;

    // --- Fields ---------------------------------------------------------------------------------
    QString name() const { return m_name; }
    void setName(const QString& name) { m_name = name; }
    QString localizedName() const;
    QString identifier() const { return m_identifier.keyPath(); }
    // The name follows the first identifier while it has none.
    void setIdentifier(const QString& identifier);
    int matchKind() const { return m_matchKind; }
    void setMatchKind(int matchKind) { m_matchKind = matchKind; }
    bool ignoresCase() const { return m_ignoresCase; }
    void setIgnoresCase(bool ignores) { m_ignoresCase = ignores; }
    int dataType() const { return m_dataType; }
    // The widest tolerance of a Float "is equal to"; see equalityTolerance.
    double epsilon() const { return m_epsilon; }
    void setEpsilon(double epsilon) { m_epsilon = epsilon; }
    // The tolerance in use: epsilon, narrowed to half a unit of the value's last decimal, so that
    // "is equal to 0.114" tells 0.114 from 0.115. "is not equal to" matches exactly the values
    // that "is equal to" does not.
    double equalityTolerance() const;
    // Half a unit of the last of `decimals` decimals: 0.0005 for 3.
    static double toleranceForDecimals(int decimals);
    SearchRange lastMatchingStringRange() const { return m_lastMatchingStringRange; }

    QVariant objectValue() const { return m_objectValue; }
    // Only a value whose kind fits the data type is kept (numbers for Boolean, Integer and
    // Float, a SearchRange for Range, a SearchIndexSet for Set, a text for String, a date for
    // Date, anything for Object); another leaves the old value.
    void setObjectValue(const QVariant& value);
    void setIntValue(qint32 value);
    void setFloatValue(double value);
    void setBoolValue(bool value);
    void setRangeValue(SearchRange value);
    // A number becomes 0, a text "", a date now; other values stay.
    void setDefaultValue();

    // --- Testing ------------------------------------------------------------------------------
    bool testForMatchWithObject(const ZQObject* object);
    // Whether a tested value's kind fits the data type.
    bool isCompatibleDataType(const QVariant& value) const;
    // The tests of the single types, on a value of the right kind.
    bool stringMatch(const QString& string);
    // From `start`; a start at or past the end of the text finds nothing.
    bool stringMatchSearchingFrom(const QString& string, qsizetype start);
    bool integerMatch(qint32 value) const;
    bool floatMatch(double value) const;
    bool booleanMatch(bool value) const;
    bool rangeMatch(qint32 value) const;
    bool indexSetMatch(quint32 value) const;
    bool objectMatch(const QVariant& value) const;
    bool dateMatch(const QDateTime& value) const;
    bool customMatch(const QVariant& value) const { return false; }

    // --- Descriptions ---------------------------------------------------------------------------
    // " is", " >", ... as the readable description of a query shows the kind.
    QString descriptionFragmentForMatchKind() const;
    // " 'value'", numbers included: " '3000'".
    QString descriptionFragmentForValue() const;
    QString description() const override;

    std::shared_ptr<ZQObject> copy() const override;
    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

private:
    void initWithValue(int dataType, const QVariant& value, const QString& identifier);
    // Prepared for the value and case rule of the last text test: a search tests one value
    // against every object of a map.
    const QStringMatcher& matcherFor(const QString& value, Qt::CaseSensitivity sensitivity);
    // The sounds-like code of the value of the last such test, for the same reason.
    const QString& soundsLikeCodeFor(const QString& value);
    template <class Init, class Value>
    static MPSearchCriterionPtr make(Init init, const Value& value, int matchKind, const QString& identifier);

    QString m_name;
    KeyPathReader m_identifier;
    int m_matchKind = kMPIsEqualTo;
    bool m_ignoresCase = true;
    SearchRange m_lastMatchingStringRange{kSearchNotFound, 0};
    int m_dataType = kMPIntegerType;
    QVariant m_objectValue = qint32(0);
    double m_epsilon = kDefaultEpsilon;
    QStringMatcher m_matcher;
    QString m_codedValue;
    QString m_codeOfValue;
};
