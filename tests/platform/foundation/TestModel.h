#pragma once

// A small model for the foundation tests: people with a name, an age, a partner
// (a to-one link), a description that depends on name and age, and a list of pets.

#include "platform/foundation/ZQObject.h"

#include <QVariantMap>

class Person : public ZQObject {
    Q_OBJECT
    Q_PROPERTY(QString name READ name WRITE setName)
    Q_PROPERTY(int age READ age WRITE setAge)
    Q_PROPERTY(Person* partner READ partner WRITE setPartner)
    Q_PROPERTY(QString summary READ summary)
    Q_PROPERTY(QStringList pets READ pets)
    Q_PROPERTY(QVariantMap info READ info WRITE setInfo)

public:
    QString name() const { return m_name; }
    void setName(const QString& name)
    {
        announceChangeForKey(QStringLiteral("name"), [&] { m_name = name; });
    }
    int age() const { return m_age; }
    void setAge(int age)
    {
        announceChangeForKey(QStringLiteral("age"), [&] { m_age = age; });
    }
    Person* partner() const { return m_partner.get(); }
    void setPartner(Person* partner)
    {
        announceChangeForKey(QStringLiteral("partner"), [&] {
            m_partner = partner ? std::static_pointer_cast<Person>(partner->shared_from_this()) : nullptr;
        });
    }
    QString summary() const { return QStringLiteral("%1 (%2)").arg(m_name).arg(m_age); }
    QStringList pets() const { return m_pets; }
    void insertPet(const QString& pet, int index)
    {
        willChangeValuesAtIndexesForKey(platform::KeyValueChangeKind::Insertion, {index}, QStringLiteral("pets"));
        m_pets.insert(index, pet);
        didChangeValuesAtIndexesForKey(platform::KeyValueChangeKind::Insertion, {index}, QStringLiteral("pets"));
    }
    void removePet(int index)
    {
        willChangeValuesAtIndexesForKey(platform::KeyValueChangeKind::Removal, {index}, QStringLiteral("pets"));
        m_pets.removeAt(index);
        didChangeValuesAtIndexesForKey(platform::KeyValueChangeKind::Removal, {index}, QStringLiteral("pets"));
    }
    QVariantMap info() const { return m_info; }
    void setInfo(const QVariantMap& info) { m_info = info; }

    // Invokable accessors that are not properties.
    Q_INVOKABLE QString nickname() const { return m_nickname; }
    Q_INVOKABLE void setNickname(const QString& nickname) { m_nickname = nickname; }
    Q_INVOKABLE int addNumbers(int a, double b) { return int(a + b); }
    Q_INVOKABLE void greet(QObject* sender) { lastSender = sender; }

    QStringList keyPathsForValuesAffectingValueForKey(const QString& key) const override
    {
        if (key == QLatin1String("summary"))
            return {QStringLiteral("name"), QStringLiteral("age")};
        return {};
    }

    // Keys that no property names live in a dictionary, as drawables keep their metadata.
    QVariant valueForUndefinedKey(const QString& key) const override
    {
        return m_extra.contains(key) ? m_extra.value(key) : platform::nullValue();
    }
    void setValueForUndefinedKey(const QVariant& value, const QString& key) override { m_extra.insert(key, value); }
    void setNilValueForKey(const QString& key) override
    {
        if (key == QLatin1String("age"))
            setAge(0);
    }

    QObject* lastSender = nullptr;

private:
    QString m_name;
    int m_age = 0;
    std::shared_ptr<Person> m_partner;
    QStringList m_pets;
    QVariantMap m_info;
    QVariantMap m_extra;
    QString m_nickname;
};

inline std::shared_ptr<Person> makePerson(const QString& name, int age)
{
    auto person = std::make_shared<Person>();
    person->setName(name);
    person->setAge(age);
    return person;
}
