#include "panels/search/MPSearchCriterion.h"

#include "panels/search/Soundex.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/NumericVariant.h"
#include "platform/foundation/ZQLog.h"

#include <QCoreApplication>
#include <cmath>
#include <limits>

namespace {

const QString kNameKey = QStringLiteral("mp_sq_crit_name");
const QString kIdentifierKey = QStringLiteral("mp_sq_crit_identifier");
const QString kMatchKindKey = QStringLiteral("mp_sq_crit_matchkind");
const QString kIgnoresCaseKey = QStringLiteral("mp_sq_crit_ignorescase");
const QString kDataTypeKey = QStringLiteral("mp_sq_crit_datatype");
const QString kObjectValueKey = QStringLiteral("mp_sq_crit_objectvalue");
const QString kEpsilonKey = QStringLiteral("mp_sq_crit_epsilon");

// The place of the last decimal of the shortest text that reads back as the value: 3 for 0.114,
// -2 for 1200.
int lastDecimalOf(double value)
{
    const QString text = QString::number(value, 'e', QLocale::FloatingPointShortest);
    const qsizetype exponent = text.indexOf(u'e');
    const qsizetype point = text.indexOf(u'.');
    const int fractionDigits = point < 0 || point > exponent ? 0 : int(exponent - point - 1);
    return fractionDigits - text.mid(exponent + 1).toInt();
}

bool isNumber(const QVariant& value)
{
    return value.typeId() == QMetaType::Bool || platform::isNumericVariant(value);
}

bool isExplicitNull(const QVariant& value)
{
    return value.metaType() == QMetaType::fromType<platform::Null>();
}

bool isFloatingPoint(const QVariant& value)
{
    return value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float;
}

// A double as an integer type: NaN reads 0, anything beyond the type's limits its limit.
template <class Integer>
Integer saturated(double value)
{
    if (std::isnan(value))
        return 0;
    if (value <= double(std::numeric_limits<Integer>::min()))
        return std::numeric_limits<Integer>::min();
    if (value >= double(std::numeric_limits<Integer>::max()))
        return std::numeric_limits<Integer>::max();
    return Integer(value);
}

// Whole numbers keep their low bits, as a narrowing read of a stored integer does.
qint32 int32Of(const QVariant& value)
{
    return isFloatingPoint(value) ? saturated<qint32>(value.toDouble()) : qint32(value.toLongLong());
}

quint32 uint32Of(const QVariant& value)
{
    return isFloatingPoint(value) ? saturated<quint32>(value.toDouble()) : quint32(value.toULongLong());
}

qint64 int64Of(const QVariant& value)
{
    return isFloatingPoint(value) ? saturated<qint64>(value.toDouble()) : value.toLongLong();
}

// The wildcard test of texts: * any run of characters, ? any one; case-sensitive.
bool wildcardMatches(QStringView text, QStringView pattern)
{
    qsizetype t = 0, p = 0, starPattern = -1, starText = 0;
    while (t < text.size()) {
        if (p < pattern.size() && (pattern[p] == u'?' || pattern[p] == text[t])) {
            ++t;
            ++p;
        } else if (p < pattern.size() && pattern[p] == u'*') {
            starPattern = p++;
            starText = t;
        } else if (starPattern >= 0) {
            p = starPattern + 1;
            t = ++starText;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}

// The kind of value a criterion of `dataType` holds.
bool valueFitsDataType(const QVariant& value, int dataType)
{
    switch (dataType) {
    case kMPStringType: return value.typeId() == QMetaType::QString;
    case kMPRangeType: return value.metaType() == QMetaType::fromType<SearchRange>();
    case kMPSetType: return value.metaType() == QMetaType::fromType<SearchIndexSet>();
    case kMPObjectType:
    case kMPCustomType: return true;
    case kMPDateType: return value.typeId() == QMetaType::QDateTime;
    default: return isNumber(value);
    }
}

} // namespace

MPSearchCriterion::MPSearchCriterion() = default;

// --- Making criteria ------------------------------------------------------------------------------------

void MPSearchCriterion::initWithMatchKind(int matchKind)
{
    m_name.clear();
    m_identifier.setKeyPath(QString());
    m_matchKind = matchKind;
    m_ignoresCase = true;
    m_dataType = kMPIntegerType;
    m_objectValue = qint32(0);
    m_lastMatchingStringRange = {kSearchNotFound, 0};
}

void MPSearchCriterion::initWithValue(int dataType, const QVariant& value, const QString& identifier)
{
    m_dataType = dataType;
    m_objectValue = value;
    setIdentifier(identifier);
}

void MPSearchCriterion::initWithStringMatchKindIdentifier(const QString& value, int matchKind, const QString& identifier)
{
    initWithMatchKind(matchKind);
    initWithValue(kMPStringType, value, identifier);
}

void MPSearchCriterion::initWithBooleanMatchKindIdentifier(bool value, int matchKind, const QString& identifier)
{
    initWithMatchKind(matchKind);
    initWithValue(kMPBooleanType, value, identifier);
}

void MPSearchCriterion::initWithIntegerMatchKindIdentifier(qint32 value, int matchKind, const QString& identifier)
{
    initWithMatchKind(matchKind);
    initWithValue(kMPIntegerType, value, identifier);
}

void MPSearchCriterion::initWithFloatMatchKindIdentifier(double value, int matchKind, const QString& identifier)
{
    initWithMatchKind(matchKind);
    m_epsilon = kDefaultEpsilon;
    initWithValue(kMPFloatType, value, identifier);
}

void MPSearchCriterion::initWithRangeMatchKindIdentifier(SearchRange value, int matchKind, const QString& identifier)
{
    initWithMatchKind(matchKind);
    initWithValue(kMPRangeType, QVariant::fromValue(value), identifier);
}

void MPSearchCriterion::initWithObjectMatchKindIdentifier(const QVariant& value, int matchKind, const QString& identifier)
{
    initWithMatchKind(matchKind);
    initWithValue(kMPObjectType, value, identifier);
}

void MPSearchCriterion::initWithIndexSetMatchKindIdentifier(const SearchIndexSet& value, int matchKind,
                                                            const QString& identifier)
{
    initWithMatchKind(matchKind);
    initWithValue(kMPSetType, QVariant::fromValue(value), identifier);
}

void MPSearchCriterion::initWithDateMatchKindIdentifier(const QDateTime& value, int matchKind, const QString& identifier)
{
    initWithMatchKind(matchKind);
    initWithValue(kMPDateType, value, identifier);
}

template <class Init, class Value>
MPSearchCriterionPtr MPSearchCriterion::make(Init init, const Value& value, int matchKind, const QString& identifier)
{
    auto criterion = std::make_shared<MPSearchCriterion>();
    (criterion.get()->*init)(value, matchKind, identifier);
    return criterion;
}

MPSearchCriterionPtr MPSearchCriterion::criterionWithStringMatchKindIdentifier(const QString& value, int matchKind,
                                                                               const QString& identifier)
{
    return make(&MPSearchCriterion::initWithStringMatchKindIdentifier, value, matchKind, identifier);
}

MPSearchCriterionPtr MPSearchCriterion::criterionWithBooleanMatchKindIdentifier(bool value, int matchKind,
                                                                                const QString& identifier)
{
    return make(&MPSearchCriterion::initWithBooleanMatchKindIdentifier, value, matchKind, identifier);
}

MPSearchCriterionPtr MPSearchCriterion::criterionWithIntegerMatchKindIdentifier(qint32 value, int matchKind,
                                                                                const QString& identifier)
{
    return make(&MPSearchCriterion::initWithIntegerMatchKindIdentifier, value, matchKind, identifier);
}

MPSearchCriterionPtr MPSearchCriterion::criterionWithFloatMatchKindIdentifier(double value, int matchKind,
                                                                              const QString& identifier)
{
    return make(&MPSearchCriterion::initWithFloatMatchKindIdentifier, value, matchKind, identifier);
}

MPSearchCriterionPtr MPSearchCriterion::criterionWithRangeMatchKindIdentifier(SearchRange value, int matchKind,
                                                                              const QString& identifier)
{
    return make(&MPSearchCriterion::initWithRangeMatchKindIdentifier, value, matchKind, identifier);
}

MPSearchCriterionPtr MPSearchCriterion::criterionWithObjectMatchKindIdentifier(const QVariant& value, int matchKind,
                                                                               const QString& identifier)
{
    return make(&MPSearchCriterion::initWithObjectMatchKindIdentifier, value, matchKind, identifier);
}

MPSearchCriterionPtr MPSearchCriterion::criterionWithIndexSetMatchKindIdentifier(const SearchIndexSet& value,
                                                                                 int matchKind,
                                                                                 const QString& identifier)
{
    return make(&MPSearchCriterion::initWithIndexSetMatchKindIdentifier, value, matchKind, identifier);
}

MPSearchCriterionPtr MPSearchCriterion::criterionWithDateMatchKindIdentifier(const QDateTime& value, int matchKind,
                                                                             const QString& identifier)
{
    return make(&MPSearchCriterion::initWithDateMatchKindIdentifier, value, matchKind, identifier);
}

MPSearchCriterionPtr MPSearchCriterion::criterionForDataTypeMatchKindIdentifier(int dataType, int matchKind,
                                                                                const QString& identifier)
{
    switch (dataType) {
    case kMPBooleanType: return criterionWithBooleanMatchKindIdentifier(true, matchKind, identifier);
    case kMPIntegerType: return criterionWithIntegerMatchKindIdentifier(0, matchKind, identifier);
    case kMPFloatType: return criterionWithFloatMatchKindIdentifier(0.0, matchKind, identifier);
    case kMPStringType: return criterionWithStringMatchKindIdentifier(QStringLiteral(""), matchKind, identifier);
    case kMPRangeType: return criterionWithRangeMatchKindIdentifier({0, 0}, matchKind, identifier);
    case kMPSetType: return criterionWithIndexSetMatchKindIdentifier(SearchIndexSet(1), matchKind, identifier);
    case kMPObjectType:
    case kMPCustomType: return criterionWithObjectMatchKindIdentifier(QVariant(), matchKind, identifier);
    case kMPDateType:
        return criterionWithDateMatchKindIdentifier(QDateTime::currentDateTimeUtc(), matchKind, identifier);
    default: return nullptr;
    }
}

// --- Types and kinds --------------------------------------------------------------------------------------

QString MPSearchCriterion::displayNameForType(int dataType)
{
    switch (dataType) {
    case kMPBooleanType: return tr("Boolean");
    case kMPIntegerType: return tr("Integer");
    case kMPFloatType: return tr("Float");
    case kMPStringType: return tr("String");
    case kMPRangeType: return tr("Range");
    case kMPSetType: return tr("Set");
    case kMPObjectType:
    case kMPCustomType: return tr("Object");
    case kMPDateType: return tr("Date");
    default: return {};
    }
}

QStringList MPSearchCriterion::displayNamesForAvailableTypes()
{
    QStringList names;
    for (int type : {kMPBooleanType, kMPIntegerType, kMPFloatType, kMPStringType, kMPRangeType, kMPSetType,
                     kMPObjectType, kMPDateType})
        names.append(displayNameForType(type));
    return names;
}

QString MPSearchCriterion::displayNameForMatchType(int matchKind)
{
    static const char* const names[] = {
        QT_TR_NOOP("is equal to"),     QT_TR_NOOP("is greater than"),
        QT_TR_NOOP("is less than"),    QT_TR_NOOP("is equal to or greater than"),
        QT_TR_NOOP("is equal to or less than"), QT_TR_NOOP("is not equal to"),
        QT_TR_NOOP("is within the range"), QT_TR_NOOP("is not within the range"),
        QT_TR_NOOP("contains"),        QT_TR_NOOP("does not contain"),
        QT_TR_NOOP("starts with"),     QT_TR_NOOP("ends with"),
        QT_TR_NOOP("is true"),         QT_TR_NOOP("is false"),
        QT_TR_NOOP("is in the set"),   QT_TR_NOOP("is not in the set"),
        QT_TR_NOOP("is like"),         QT_TR_NOOP("is not like"),
        QT_TR_NOOP("is after"),        QT_TR_NOOP("is before"),
        QT_TR_NOOP("is on"),           QT_TR_NOOP("is not on"),
        QT_TR_NOOP("is on or before"), QT_TR_NOOP("is on or after"),
    };
    return matchKind >= 0 && matchKind < int(std::size(names)) ? tr(names[matchKind]) : QString();
}

QList<int> MPSearchCriterion::matchKindsForType(int dataType)
{
    switch (dataType) {
    case kMPBooleanType: return {kMPIsTrue, kMPIsFalse};
    case kMPIntegerType:
    case kMPFloatType:
        return {kMPIsEqualTo,   kMPIsNotEqualTo,           kMPIsGreaterThan,
                kMPIsLessThan, kMPIsEqualToOrGreaterThan, kMPIsEqualToOrLessThan};
    case kMPStringType:
        return {kMPContains, kMPDoesNotContain, kMPStartsWith, kMPEndsWith, kMPIsEqualTo, kMPIsNotEqualTo};
    case kMPRangeType: return {kMPIsWithinRange, kMPIsNotWithinRange};
    case kMPSetType: return {kMPIsInSet, kMPIsNotInSet};
    case kMPObjectType:
    case kMPCustomType:
        return {kMPIsEqualTo, kMPIsNotEqualTo, kMPIsGreaterThan, kMPIsLessThan, kMPIsEqualToOrGreaterThan,
                kMPIsEqualToOrLessThan, kMPIsLike, kMPIsNotLike};
    case kMPDateType: return {kMPIsOn, kMPIsNotOn, kMPIsAfter, kMPIsBefore, kMPIsOnOrAfter, kMPIsOnOrBefore};
    default: return {};
    }
}

QStringList MPSearchCriterion::displayableMatchKinds() const
{
    QStringList names;
    for (int kind : matchKindsForType(m_dataType))
        names.append(displayNameForMatchType(kind));
    return names;
}

// --- Fields -------------------------------------------------------------------------------------------------

QString MPSearchCriterion::localizedName() const
{
    return m_name.isEmpty() ? m_name : QCoreApplication::translate("MPSearchCriterion", m_name.toUtf8().constData());
}

void MPSearchCriterion::setIdentifier(const QString& identifier)
{
    m_identifier.setKeyPath(identifier);
    if (m_name.isNull())
        m_name = identifier;
}

void MPSearchCriterion::setObjectValue(const QVariant& value)
{
    if (valueFitsDataType(value, m_dataType))
        m_objectValue = value;
}

void MPSearchCriterion::setIntValue(qint32 value)
{
    setObjectValue(value);
}

void MPSearchCriterion::setFloatValue(double value)
{
    setObjectValue(value);
}

void MPSearchCriterion::setBoolValue(bool value)
{
    setObjectValue(value);
}

void MPSearchCriterion::setRangeValue(SearchRange value)
{
    if (m_dataType == kMPRangeType)
        m_objectValue = QVariant::fromValue(value);
}

void MPSearchCriterion::setDefaultValue()
{
    if (isNumber(m_objectValue))
        m_objectValue = qint32(0);
    else if (m_objectValue.typeId() == QMetaType::QString)
        m_objectValue = QStringLiteral("");
    else if (m_objectValue.typeId() == QMetaType::QDateTime)
        m_objectValue = QDateTime::currentDateTimeUtc();
}

// --- Testing ------------------------------------------------------------------------------------------------

bool MPSearchCriterion::isCompatibleDataType(const QVariant& value) const
{
    switch (m_dataType) {
    case kMPStringType: return value.typeId() == QMetaType::QString;
    case kMPObjectType:
    case kMPCustomType: return true;
    case kMPDateType: return value.typeId() == QMetaType::QDateTime;
    default: return isNumber(value);
    }
}

bool MPSearchCriterion::testForMatchWithObject(const ZQObject* object)
{
    const QVariant value = object ? m_identifier.valueOf(*object) : QVariant();
    if (isExplicitNull(value) || !isCompatibleDataType(value))
        return false;
    switch (m_dataType) {
    case kMPBooleanType: return booleanMatch(value.toBool());
    case kMPFloatType: return floatMatch(value.toDouble());
    case kMPStringType: return stringMatchSearchingFrom(value.toString(), 0);
    case kMPRangeType: return rangeMatch(int32Of(value));
    case kMPSetType: return indexSetMatch(uint32Of(value));
    case kMPObjectType: return objectMatch(value);
    case kMPCustomType: return customMatch(value);
    case kMPDateType: return dateMatch(value.toDateTime());
    default: return integerMatch(int32Of(value));
    }
}

bool MPSearchCriterion::stringMatch(const QString& string)
{
    return stringMatchSearchingFrom(string, 0);
}

bool MPSearchCriterion::stringMatchSearchingFrom(const QString& string, qsizetype start)
{
    if (m_objectValue.typeId() != QMetaType::QString || start < 0 || start > string.size())
        return false;
    const QString value = m_objectValue.toString();
    const Qt::CaseSensitivity sensitivity = m_ignoresCase ? Qt::CaseInsensitive : Qt::CaseSensitive;
    const QStringView rest = QStringView(string).mid(start);
    const qsizetype length = value.size();
    const QStringMatcher& matcher = matcherFor(value, sensitivity);
    // An empty text is never found, as with any literal search.
    const auto foundAt = [&](QStringView within, qsizetype offset) -> SearchRange {
        if (length == 0 || within.size() < length)
            return {kSearchNotFound, 0};
        const qsizetype at = matcher.indexIn(within);
        return at < 0 ? SearchRange{kSearchNotFound, 0} : SearchRange{quint64(offset + at), quint64(length)};
    };
    SearchRange found{kSearchNotFound, 0};
    bool matches = false;
    switch (m_matchKind) {
    case kMPIsEqualTo:
    case kMPIsNotEqualTo: {
        found = foundAt(rest, start);
        const bool whole = found.location == quint64(start) && found.length == quint64(rest.size());
        matches = (m_matchKind == kMPIsEqualTo) == whole;
        break;
    }
    case kMPDoesNotContain:
        found = foundAt(rest, start);
        matches = found.location == kSearchNotFound;
        break;
    case kMPStartsWith:
        found = foundAt(rest.first(std::min(length, rest.size())), start);
        matches = found.location != kSearchNotFound;
        break;
    case kMPEndsWith: {
        const qsizetype tail = std::min(rest.size(), length);
        found = foundAt(QStringView(string).last(tail), string.size() - tail);
        matches = found.location != kSearchNotFound;
        break;
    }
    case kMPSoundsLike:
        matches = soundsLikeCode(string, soundsLikeCodeFor(value));
        break;
    default:
        found = foundAt(rest, start);
        matches = found.location != kSearchNotFound;
        break;
    }
    if (matches)
        m_lastMatchingStringRange = found;
    return matches;
}

const QStringMatcher& MPSearchCriterion::matcherFor(const QString& value, Qt::CaseSensitivity sensitivity)
{
    if (m_matcher.caseSensitivity() != sensitivity)
        m_matcher.setCaseSensitivity(sensitivity);
    if (m_matcher.pattern() != value)
        m_matcher.setPattern(value);
    return m_matcher;
}

const QString& MPSearchCriterion::soundsLikeCodeFor(const QString& value)
{
    if (m_codedValue.isNull() || m_codedValue != value) {
        m_codedValue = value;
        m_codeOfValue = soundexString(value);
    }
    return m_codeOfValue;
}

bool MPSearchCriterion::integerMatch(qint32 value) const
{
    const qint64 v = value;
    const qint64 c = int64Of(m_objectValue);
    switch (m_matchKind) {
    case kMPIsEqualTo: return v == c;
    case kMPIsGreaterThan: return v > c;
    case kMPIsLessThan: return v < c;
    case kMPIsEqualToOrGreaterThan: return v >= c;
    case kMPIsEqualToOrLessThan: return v <= c;
    default: return v != c;
    }
}

bool MPSearchCriterion::floatMatch(double value) const
{
    const double c = m_objectValue.toDouble();
    switch (m_matchKind) {
    case kMPIsEqualTo: return std::fabs(c - value) <= equalityTolerance();
    case kMPIsNotEqualTo: return !(std::fabs(c - value) <= equalityTolerance());
    case kMPIsGreaterThan: return value > c;
    case kMPIsLessThan: return value < c;
    case kMPIsEqualToOrGreaterThan: return value >= c;
    case kMPIsEqualToOrLessThan: return value <= c;
    default: return value != c;
    }
}

double MPSearchCriterion::equalityTolerance() const
{
    const double value = m_objectValue.toDouble();
    if (!std::isfinite(value))
        return m_epsilon;
    return std::min(m_epsilon, toleranceForDecimals(lastDecimalOf(value)));
}

double MPSearchCriterion::toleranceForDecimals(int decimals)
{
    return 0.5 * std::pow(10.0, -decimals);
}

bool MPSearchCriterion::booleanMatch(bool value) const
{
    const bool c = m_objectValue.toBool();
    switch (m_matchKind) {
    case kMPIsEqualTo: return value == c;
    case kMPIsNotEqualTo: return value != c;
    case kMPIsFalse: return !value;
    default: return value;
    }
}

bool MPSearchCriterion::rangeMatch(qint32 value) const
{
    const SearchRange range = m_objectValue.value<SearchRange>();
    // Unsigned, as the range is: a negative value lies far above every range.
    const bool inside = range.contains(quint64(qint64(value)));
    return m_matchKind == kMPIsNotWithinRange ? !inside : inside;
}

bool MPSearchCriterion::indexSetMatch(quint32 value) const
{
    const bool inside = m_objectValue.value<SearchIndexSet>().contains(value);
    return m_matchKind == kMPIsNotInSet ? !inside : inside;
}

bool MPSearchCriterion::objectMatch(const QVariant& value) const
{
    // With no value every comparison answers no; only its negation answers yes.
    if (!value.isValid())
        return m_matchKind == kMPIsNotLike;
    const QPartialOrdering order = QVariant::compare(value, m_objectValue);
    const bool like = value.typeId() == QMetaType::QString && m_objectValue.typeId() == QMetaType::QString
        && wildcardMatches(value.toString(), m_objectValue.toString());
    switch (m_matchKind) {
    case kMPIsGreaterThan: return order == QPartialOrdering::Greater;
    case kMPIsLessThan: return order == QPartialOrdering::Less;
    case kMPIsEqualToOrGreaterThan: return order == QPartialOrdering::Greater || order == QPartialOrdering::Equivalent;
    case kMPIsEqualToOrLessThan: return order == QPartialOrdering::Less || order == QPartialOrdering::Equivalent;
    case kMPIsNotEqualTo: return value != m_objectValue;
    case kMPIsLike: return like;
    case kMPIsNotLike: return !like;
    default: return value == m_objectValue;
    }
}

bool MPSearchCriterion::dateMatch(const QDateTime& value) const
{
    const QDateTime c = m_objectValue.toDateTime();
    if (!value.isValid() || !c.isValid())
        return false;
    const qint64 difference = c.msecsTo(value);
    switch (m_matchKind) {
    case kMPIsGreaterThan:
    case kMPIsAfter: return difference > 0;
    case kMPIsLessThan:
    case kMPIsBefore: return difference < 0;
    case kMPIsEqualToOrGreaterThan:
    case kMPIsOnOrAfter: return difference >= 0;
    case kMPIsEqualToOrLessThan:
    case kMPIsOnOrBefore: return difference <= 0;
    case kMPIsNotEqualTo:
    case kMPIsNotOn: return difference != 0;
    default: return difference == 0;
    }
}

// --- Descriptions -------------------------------------------------------------------------------------------

QString MPSearchCriterion::descriptionFragmentForMatchKind() const
{
    static const char* const fragments[] = {
        " is",      " >",         " <",            " \u2265",        " \u2264",       " is not",  " is within",
        " isn't within", " contains", " doesn't contain", " starts with", " ends with", " is true", " is false",
        " is within", " isn't within", " is like", " isn't like", " >",      " <",       " is",
        " is not",  " \u2264",    " \u2265",       " sounds like",
    };
    return m_matchKind >= 0 && m_matchKind < int(std::size(fragments)) ? QString::fromUtf8(fragments[m_matchKind])
                                                                       : QStringLiteral(" contains");
}

QString MPSearchCriterion::descriptionFragmentForValue() const
{
    return QStringLiteral(" '%1'").arg(searchvalues::descriptionOfValue(m_objectValue));
}

QString MPSearchCriterion::description() const
{
    return QStringLiteral("%1 type = %2, matchkind = %3 ('%4'), value = %5, identifier = %6")
        .arg(ZQObject::description())
        .arg(m_dataType)
        .arg(m_matchKind)
        .arg(descriptionFragmentForMatchKind(), searchvalues::descriptionOfValue(m_objectValue), identifier());
}

// --- Copying and archiving ------------------------------------------------------------------------------------

std::shared_ptr<ZQObject> MPSearchCriterion::copy() const
{
    auto copy = std::make_shared<MPSearchCriterion>();
    copy->initWithMatchKind(m_matchKind);
    copy->m_name = m_name;
    copy->m_identifier = m_identifier;
    copy->m_objectValue = m_objectValue;
    copy->m_ignoresCase = m_ignoresCase;
    copy->m_dataType = m_dataType;
    copy->m_epsilon = m_epsilon;
    return copy;
}

void MPSearchCriterion::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    coder.encodeObject(m_name.isNull() ? QVariant() : QVariant(m_name), kNameKey);
    coder.encodeObject(identifier().isNull() ? QVariant() : QVariant(identifier()), kIdentifierKey);
    coder.encodeInt(m_matchKind, kMatchKindKey);
    coder.encodeBool(m_ignoresCase, kIgnoresCaseKey);
    coder.encodeInt(m_dataType, kDataTypeKey);
    coder.encodeObject(searchvalues::archivableValue(m_objectValue), kObjectValueKey);
    coder.encodeDouble(m_epsilon, kEpsilonKey);
}

void MPSearchCriterion::initWithCoder(platform::KeyedUnarchiver& coder)
{
    initWithMatchKind(int(coder.decodeInt(kMatchKindKey)));
    const QVariant name = coder.decodeValue(kNameKey);
    const QVariant identifier = coder.decodeValue(kIdentifierKey);
    m_name = name.typeId() == QMetaType::QString ? name.toString() : QString();
    m_identifier.setKeyPath(identifier.typeId() == QMetaType::QString ? identifier.toString() : QString());
    m_ignoresCase = coder.decodeBool(kIgnoresCaseKey);
    m_dataType = int(coder.decodeInt(kDataTypeKey));
    const QVariant value = searchvalues::unarchivedValue(coder.decodeValue(kObjectValueKey));
    if (valueFitsDataType(value, m_dataType))
        m_objectValue = value;
    else
        ZQLogObjCMethod(QStringLiteral("value %1 does not fit data type %2, kept 0")
                            .arg(searchvalues::descriptionOfValue(value))
                            .arg(m_dataType));
    // A tolerance narrower than the default is what the user typed; a wider one is not taken.
    const double stored = coder.decodeDouble(kEpsilonKey);
    m_epsilon = stored > 0 && stored < kDefaultEpsilon ? stored : kDefaultEpsilon;
}
