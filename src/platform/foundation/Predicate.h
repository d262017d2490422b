#pragma once

// A condition on an object's key paths, for filters and smart collections: comparisons
// (==, CONTAINS, BEGINSWITH, ENDSWITH, LIKE with the wildcards * and ?) optionally
// case-insensitive [c] and diacritic-insensitive [d], joined by AND and OR. Immutable;
// archivable; two predicates are equal when they test the same thing.

#include "platform/foundation/ZQObject.h"

#include <QVariant>
#include <memory>

namespace platform {

class Predicate;
using PredicatePtr = std::shared_ptr<const Predicate>;

class Predicate : public ZQObject {
    Q_OBJECT

public:
    enum class Kind { Comparison, And, Or };
    enum class Operator { Equal, Contains, BeginsWith, EndsWith, Like };
    enum Option { NoOptions = 0, CaseInsensitive = 1, DiacriticInsensitive = 2 };

    // Archives make empty ones; use the factories.
    Predicate() = default;

    static PredicatePtr comparison(const QString& keyPath, Operator op, const QVariant& value, int options = NoOptions);
    static PredicatePtr andPredicate(const QList<PredicatePtr>& subpredicates);
    static PredicatePtr orPredicate(const QList<PredicatePtr>& subpredicates);

    Kind kind() const { return m_kind; }
    QString keyPath() const { return m_keyPath; }
    Operator comparisonOperator() const { return m_operator; }
    QVariant value() const { return m_value; }
    int options() const { return m_options; }
    const QList<PredicatePtr>& subpredicates() const { return m_subpredicates; }

    // An object without the key path matches nothing but an equality with null. An empty AND
    // holds, an empty OR does not.
    bool evaluateWithObject(const ZQObject& object) const;
    bool isEqualTo(const Predicate& other) const;
    // name CONTAINS[c] "Road" OR classCode == 1
    QString predicateFormat() const;
    QString description() const override { return predicateFormat(); }

    // The predicate an archive holds; null for damaged data or another root.
    static PredicatePtr fromArchiveData(const QByteArray& data);
    QByteArray archiveData() const;

    void encodeWithCoder(KeyedArchiver& coder) const override;
    void initWithCoder(KeyedUnarchiver& coder) override;

private:
    static PredicatePtr compound(Kind kind, const QList<PredicatePtr>& subpredicates);
    bool compare(const QVariant& actual) const;

    Kind m_kind = Kind::Comparison;
    QString m_keyPath;
    Operator m_operator = Operator::Equal;
    QVariant m_value;
    int m_options = NoOptions;
    // The value as compare() matches text against it, folded once rather than per object.
    QString m_foldedValue;
    QList<PredicatePtr> m_subpredicates;
};

} // namespace platform
