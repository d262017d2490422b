#include "panels/search/MPSearchQuery.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/NumericVariant.h"
#include "platform/foundation/ZQLog.h"

namespace {

const QString kMatchModeKey = QStringLiteral("mp_sq_matchmode");
const QString kSearchModeKey = QStringLiteral("mp_sq_searchmode");
const QString kWrapsKey = QStringLiteral("mp_sq_wraps");
const QString kCriteriaKey = QStringLiteral("mp_sq_criteria");
const QString kAuxiliaryDataKey = QStringLiteral("mp_sq_auxiliarydata");
const QString kStringValueIdentifier = QStringLiteral("stringValue:");

} // namespace

MPSearchQuery::MPSearchQuery() = default;

MPSearchQueryPtr MPSearchQuery::searchQueryForObjectsContainingString(const QString& string)
{
    auto query = std::make_shared<MPSearchQuery>();
    query->addCriterion(
        MPSearchCriterion::criterionWithStringMatchKindIdentifier(string, kMPContains, kStringValueIdentifier));
    return query;
}

MPSearchQueryPtr MPSearchQuery::searchQueryForTextContainingString(const QString& string)
{
    auto query = std::make_shared<MPSearchQuery>();
    query->addCriterion(MPSearchCriterion::criterionWithStringMatchKindIdentifier(string, kMPContains, QString()));
    query->setSearchMode(kMPTextSearch);
    return query;
}

int MPSearchQuery::dataTypeForObject(const QVariant& value)
{
    if (!value.isValid())
        return -1;
    switch (value.typeId()) {
    case QMetaType::QString: return kMPStringType;
    case QMetaType::Bool: return kMPBooleanType;
    case QMetaType::Int:
    case QMetaType::LongLong: return kMPIntegerType;
    case QMetaType::Double: return kMPFloatType;
    case QMetaType::QDateTime: return kMPDateType;
    default: break;
    }
    if (value.metaType() == QMetaType::fromType<SearchIndexSet>())
        return kMPSetType;
    // Other numbers (unsigned, single precision, short) suggest nothing.
    if (platform::isNumericVariant(value))
        return -1;
    return kMPObjectType;
}

qsizetype MPSearchQuery::addCriterion(const MPSearchCriterionPtr& criterion)
{
    m_criteria.append(criterion);
    return m_criteria.size() - 1;
}

void MPSearchQuery::removeCriterion(const MPSearchCriterion* criterion)
{
    m_criteria.removeIf([criterion](const MPSearchCriterionPtr& c) { return c.get() == criterion; });
}

void MPSearchQuery::removeCriterionAtIndex(qsizetype index)
{
    if (index >= 0 && index < m_criteria.size())
        m_criteria.removeAt(index);
}

bool MPSearchQuery::queryMatchesObject(const ZQObject* object) const
{
    if (!object)
        return false;
    const bool any = m_matchMode == kMPMatchAny;
    for (const MPSearchCriterionPtr& criterion : m_criteria)
        if (criterion->testForMatchWithObject(object) == any)
            return any;
    return !any;
}

SearchRange MPSearchQuery::queryMatchesTextSearchingFrom(const QString& text, qsizetype start) const
{
    const SearchRange none{kSearchNotFound, 0};
    if (m_searchMode != kMPTextSearch || m_criteria.isEmpty() || text.isNull() || start < 0 || start >= text.size())
        return none;
    const MPSearchCriterionPtr& criterion = m_criteria.first();
    return criterion->stringMatchSearchingFrom(text, start) ? criterion->lastMatchingStringRange() : none;
}

SearchRange MPSearchQuery::findNextMatchInText(const QString& text)
{
    SearchRange found = queryMatchesTextSearchingFrom(text, qsizetype(m_objectIndex));
    if (found.location == kSearchNotFound && m_wraps && m_objectIndex > 0) {
        m_objectIndex = 0;
        found = queryMatchesTextSearchingFrom(text, 0);
    }
    // The step past the match skips a match right after it.
    if (found.location != kSearchNotFound)
        m_objectIndex = qint64(found.location + found.length + 1);
    return found;
}

void MPSearchQuery::addAuxiliaryDataObjectForKey(const QVariant& object, const QString& key)
{
    m_auxiliaryData.insert(key, object);
}

void MPSearchQuery::setAuxiliaryDataBooleanValueForKey(bool value, const QString& key)
{
    m_auxiliaryData.insert(key, value);
}

bool MPSearchQuery::auxiliaryDataBooleanValueForKey(const QString& key) const
{
    return m_auxiliaryData.value(key).toBool();
}

void MPSearchQuery::setAuxiliaryDataIntegerValueForKey(qint64 value, const QString& key)
{
    m_auxiliaryData.insert(key, value);
}

qint64 MPSearchQuery::auxiliaryDataIntegerValueForKey(const QString& key) const
{
    return m_auxiliaryData.value(key).toLongLong();
}

void MPSearchQuery::setAuxiliaryDataFloatValueForKey(float value, const QString& key)
{
    m_auxiliaryData.insert(key, value);
}

float MPSearchQuery::auxiliaryDataFloatValueForKey(const QString& key) const
{
    return m_auxiliaryData.value(key).toFloat();
}

QString MPSearchQuery::userReadableDescription() const
{
    QString text;
    QString previousName;
    bool first = true;
    for (const MPSearchCriterionPtr& criterion : m_criteria) {
        if (!text.isEmpty())
            text += m_matchMode != kMPMatchAll ? QStringLiteral(" or") : QStringLiteral(" and");
        if (first || criterion->name() != previousName) {
            text += QLatin1Char(' ') + criterion->name();
            previousName = criterion->name();
        }
        first = false;
        text += criterion->descriptionFragmentForMatchKind() + criterion->descriptionFragmentForValue();
    }
    return text;
}

QString MPSearchQuery::description() const
{
    QString text = QStringLiteral("%1, match mode = %2; %3 criteria = \n")
                       .arg(ZQObject::description())
                       .arg(m_matchMode)
                       .arg(m_criteria.size());
    for (qsizetype i = 0; i < m_criteria.size(); ++i)
        text += QStringLiteral("\t%1. ").arg(i + 1) + m_criteria[i]->description() + QLatin1Char('\n');
    return text;
}

std::shared_ptr<ZQObject> MPSearchQuery::copy() const
{
    auto copy = std::make_shared<MPSearchQuery>();
    copy->m_matchMode = m_matchMode;
    copy->m_searchMode = m_searchMode;
    copy->m_wraps = m_wraps;
    copy->m_auxiliaryData = m_auxiliaryData;
    for (const MPSearchCriterionPtr& criterion : m_criteria)
        copy->m_criteria.append(std::static_pointer_cast<MPSearchCriterion>(criterion->copy()));
    return copy;
}

void MPSearchQuery::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    coder.encodeInt(m_matchMode, kMatchModeKey);
    coder.encodeInt(m_searchMode, kSearchModeKey);
    coder.encodeBool(m_wraps, kWrapsKey);
    QVariantList criteria;
    for (const MPSearchCriterionPtr& criterion : m_criteria)
        criteria.append(QVariant::fromValue<ZQObjectPtr>(criterion));
    coder.encodeObject(m_criteria.isEmpty() ? QVariant() : QVariant(criteria), kCriteriaKey);
    coder.encodeObject(m_auxiliaryData.isEmpty() ? QVariant() : QVariant(m_auxiliaryData), kAuxiliaryDataKey);
}

void MPSearchQuery::initWithCoder(platform::KeyedUnarchiver& coder)
{
    m_matchMode = int(coder.decodeInt(kMatchModeKey));
    m_searchMode = int(coder.decodeInt(kSearchModeKey));
    m_wraps = coder.decodeBool(kWrapsKey);
    m_objectIndex = 0;
    m_criteria.clear();
    for (const QVariant& entry : coder.decodeValue(kCriteriaKey).toList()) {
        if (auto criterion = std::dynamic_pointer_cast<MPSearchCriterion>(entry.value<ZQObjectPtr>()))
            m_criteria.append(criterion);
        else
            ZQLogObjCMethod(QStringLiteral("skipped a criterion of the wrong kind (%1)").arg(entry.typeName()));
    }
    const QVariant auxiliary = coder.decodeValue(kAuxiliaryDataKey);
    m_auxiliaryData = auxiliary.typeId() == QMetaType::QVariantMap ? auxiliary.toMap() : QVariantMap();
}
