#include "platform/foundation/Predicate.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/NumericVariant.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"

#include <QHash>
#include <QMetaProperty>
#include <QRegularExpression>

namespace platform {

namespace {

bool isNumber(const QVariant& value)
{
    return isNumericVariant(value) || value.typeId() == QMetaType::Bool;
}

bool isAscii(const QString& text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

QString folded(QString text, int options)
{
    // Plain ASCII has no marks to strip, and folds its case to lower case: Unicode's tables,
    // the costly part, are for everything else.
    if (isAscii(text)) {
        if (options & Predicate::CaseInsensitive)
            for (QChar& c : text)
                if (c >= u'A' && c <= u'Z')
                    c = QChar(c.unicode() + (u'a' - u'A'));
        return text;
    }
    if (options & Predicate::DiacriticInsensitive) {
        text = text.normalized(QString::NormalizationForm_D);
        text.removeIf([](QChar c) { return c.category() == QChar::Mark_NonSpacing; });
    }
    if (options & Predicate::CaseInsensitive)
        text = text.toCaseFolded();
    return text;
}

// Only * and ? are wildcards; everything else, brackets included, is literal.
bool matchesLike(const QString& text, const QString& pattern)
{
    QString expression;
    for (const QChar c : pattern) {
        if (c == u'*')
            expression += QStringLiteral(".*");
        else if (c == u'?')
            expression += u'.';
        else
            expression += QRegularExpression::escape(QString(c));
    }
    const QRegularExpression regex(QRegularExpression::anchoredPattern(expression),
                                   QRegularExpression::DotMatchesEverythingOption);
    return regex.match(text).hasMatch();
}

QString operatorText(Predicate::Operator op)
{
    switch (op) {
    case Predicate::Operator::Equal:
        return QStringLiteral("==");
    case Predicate::Operator::Contains:
        return QStringLiteral("CONTAINS");
    case Predicate::Operator::BeginsWith:
        return QStringLiteral("BEGINSWITH");
    case Predicate::Operator::EndsWith:
        return QStringLiteral("ENDSWITH");
    case Predicate::Operator::Like:
        return QStringLiteral("LIKE");
    }
    return {};
}

QString valueText(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return QStringLiteral("nil");
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? QStringLiteral("YES") : QStringLiteral("NO");
    if (isNumber(value))
        return value.toString();
    QString text = value.toString();
    text.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
    return u'"' + text + u'"';
}

} // namespace

PredicatePtr Predicate::comparison(const QString& keyPath, Operator op, const QVariant& value, int options)
{
    auto predicate = std::make_shared<Predicate>();
    predicate->m_keyPath = keyPath;
    predicate->m_operator = op;
    predicate->m_value = value;
    predicate->m_options = options & (CaseInsensitive | DiacriticInsensitive);
    predicate->m_foldedValue = folded(value.toString(), predicate->m_options);
    return predicate;
}

PredicatePtr Predicate::compound(Kind kind, const QList<PredicatePtr>& subpredicates)
{
    auto predicate = std::make_shared<Predicate>();
    predicate->m_kind = kind;
    for (const PredicatePtr& sub : subpredicates)
        if (sub)
            predicate->m_subpredicates.append(sub);
    return predicate;
}

PredicatePtr Predicate::andPredicate(const QList<PredicatePtr>& subpredicates)
{
    return compound(Kind::And, subpredicates);
}

PredicatePtr Predicate::orPredicate(const QList<PredicatePtr>& subpredicates)
{
    return compound(Kind::Or, subpredicates);
}

namespace {

// Predicates come from libraries and settings on disk: a key reads a property, or what the
// object answers for keys it does not define, and never calls a method by name.
QVariant storedKeyValue(const ZQObject& object, const QString& key)
{
    const QMetaObject* meta = object.metaObject();
    // Filters ask every object of a list for the same key: the look-up by name is made once.
    thread_local QHash<std::pair<const QMetaObject*, QString>, int> indexes;
    auto found = indexes.constFind({meta, key});
    if (found == indexes.cend())
        found = indexes.insert({meta, key}, meta->indexOfProperty(key.toLatin1().constData()));
    if (const int index = *found; index >= 0) {
        if (const QMetaProperty property = meta->property(index); property.isReadable())
            return property.read(&object);
    }
    return object.valueForUndefinedKey(key);
}

QVariant storedKeyPathValueOf(const QVariant& value, const QString& keyPath);

QVariant storedKeyPathValue(const ZQObject& object, const QString& keyPath)
{
    const qsizetype dot = keyPath.indexOf(QLatin1Char('.'));
    const QVariant value = storedKeyValue(object, keyPath.left(dot));
    return dot < 0 ? value : storedKeyPathValueOf(value, keyPath.mid(dot + 1));
}

QVariant storedKeyPathValueOf(const QVariant& value, const QString& keyPath)
{
    if (isNull(value))
        return {};
    if (const ZQObject* object = objectFromVariant(value))
        return storedKeyPathValue(*object, keyPath);
    if (value.metaType() == QMetaType::fromType<QVariantMap>() || value.metaType() == QMetaType::fromType<QVariantHash>()) {
        const qsizetype dot = keyPath.indexOf(QLatin1Char('.'));
        const QVariant element = value.toMap().value(keyPath.left(dot));
        return dot < 0 ? element : storedKeyPathValueOf(element, keyPath.mid(dot + 1));
    }
    if (value.metaType() == QMetaType::fromType<QVariantList>()) {
        QVariantList results;
        for (const QVariant& element : value.toList())
            results.append(storedKeyPathValueOf(element, keyPath));
        return results;
    }
    return {};
}

} // namespace

bool Predicate::evaluateWithObject(const ZQObject& object) const
{
    switch (m_kind) {
    case Kind::And:
        return std::all_of(m_subpredicates.begin(), m_subpredicates.end(),
                           [&](const PredicatePtr& sub) { return sub->evaluateWithObject(object); });
    case Kind::Or:
        return std::any_of(m_subpredicates.begin(), m_subpredicates.end(),
                           [&](const PredicatePtr& sub) { return sub->evaluateWithObject(object); });
    case Kind::Comparison:
        break;
    }
    QVariant actual;
    try {
        actual = storedKeyPathValue(object, m_keyPath);
    } catch (const std::exception&) {
        // A key the object lacks is a non-match, not a failure of the filter.
        actual = QVariant();
    }
    return compare(actual);
}

bool Predicate::compare(const QVariant& actual) const
{
    const bool actualNull = !actual.isValid() || actual.isNull();
    const bool expectedNull = !m_value.isValid() || m_value.isNull();
    if (actualNull || expectedNull)
        return m_operator == Operator::Equal && actualNull && expectedNull;
    if (m_operator == Operator::Equal && isNumber(actual) && isNumber(m_value))
        return actual.toDouble() == m_value.toDouble();
    if (actual.typeId() != QMetaType::QString && !isNumber(actual))
        return false;
    const QString text = folded(actual.toString(), m_options);
    const QString& wanted = m_foldedValue;
    switch (m_operator) {
    case Operator::Equal:
        return text == wanted;
    case Operator::Contains:
        return text.contains(wanted);
    case Operator::BeginsWith:
        return text.startsWith(wanted);
    case Operator::EndsWith:
        return text.endsWith(wanted);
    case Operator::Like:
        return matchesLike(text, wanted);
    }
    return false;
}

bool Predicate::isEqualTo(const Predicate& other) const
{
    if (m_kind != other.m_kind)
        return false;
    if (m_kind != Kind::Comparison) {
        if (m_subpredicates.size() != other.m_subpredicates.size())
            return false;
        for (qsizetype i = 0; i < m_subpredicates.size(); ++i)
            if (!m_subpredicates[i]->isEqualTo(*other.m_subpredicates[i]))
                return false;
        return true;
    }
    const bool sameValue = isNumber(m_value) && isNumber(other.m_value) ? m_value.toDouble() == other.m_value.toDouble()
                                                                         : m_value == other.m_value;
    return m_keyPath == other.m_keyPath && m_operator == other.m_operator && m_options == other.m_options && sameValue;
}

QString Predicate::predicateFormat() const
{
    if (m_kind == Kind::Comparison) {
        QString options;
        if (m_options & CaseInsensitive)
            options += u'c';
        if (m_options & DiacriticInsensitive)
            options += u'd';
        const QString op = operatorText(m_operator) + (options.isEmpty() ? QString() : u'[' + options + u']');
        return m_keyPath + u' ' + op + u' ' + valueText(m_value);
    }
    QStringList parts;
    for (const PredicatePtr& sub : m_subpredicates) {
        const QString text = sub->predicateFormat();
        parts.append(sub->m_kind == Kind::Comparison || sub->m_subpredicates.size() < 2 ? text : u'(' + text + u')');
    }
    return parts.join(m_kind == Kind::And ? QStringLiteral(" AND ") : QStringLiteral(" OR "));
}

PredicatePtr Predicate::fromArchiveData(const QByteArray& data)
{
    if (data.isEmpty())
        return nullptr;
    return std::dynamic_pointer_cast<const Predicate>(KeyedUnarchiver::unarchiveObjectWithData(data));
}

QByteArray Predicate::archiveData() const
{
    return KeyedArchiver::archivedDataWithRootObject(this);
}

void Predicate::encodeWithCoder(KeyedArchiver& coder) const
{
    coder.encodeInt(int(m_kind), QStringLiteral("kind"));
    if (m_kind == Kind::Comparison) {
        coder.encodeString(m_keyPath, QStringLiteral("keyPath"));
        coder.encodeInt(int(m_operator), QStringLiteral("operator"));
        if (m_value.isValid() && !m_value.isNull())
            coder.encodeObject(m_value, QStringLiteral("value"));
        coder.encodeInt(m_options, QStringLiteral("options"));
        return;
    }
    QVariantList subpredicates;
    for (const PredicatePtr& sub : m_subpredicates)
        subpredicates.append(QVariant::fromValue(std::const_pointer_cast<ZQObject>(
            std::static_pointer_cast<const ZQObject>(sub))));
    coder.encodeObject(subpredicates, QStringLiteral("subpredicates"));
}

void Predicate::initWithCoder(KeyedUnarchiver& coder)
{
    const qint64 kind = coder.decodeInt(QStringLiteral("kind"));
    const qint64 op = coder.decodeInt(QStringLiteral("operator"));
    ZQ_ASSERT(kind >= 0 && kind <= int(Kind::Or), "predicate of unknown kind");
    ZQ_ASSERT(op >= 0 && op <= int(Operator::Like), "predicate with an unknown operator");
    m_kind = Kind(kind);
    m_operator = Operator(op);
    m_keyPath = coder.decodeString(QStringLiteral("keyPath"));
    m_options = int(coder.decodeInt(QStringLiteral("options"))) & (CaseInsensitive | DiacriticInsensitive);
    if (m_kind == Kind::Comparison) {
        const QVariant value = coder.decodeValue(QStringLiteral("value"));
        // Only plain values are compared; an object here is damage.
        m_value = value.canConvert<ZQObjectPtr>() && value.value<ZQObjectPtr>() ? QVariant() : value;
        m_foldedValue = folded(m_value.toString(), m_options);
        return;
    }
    for (const QVariant& entry : coder.decodeValue(QStringLiteral("subpredicates")).toList()) {
        auto sub = std::dynamic_pointer_cast<const Predicate>(entry.value<ZQObjectPtr>());
        if (sub)
            m_subpredicates.append(sub);
    }
}

} // namespace platform
