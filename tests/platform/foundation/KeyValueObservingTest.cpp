#include "TestModel.h"

#include "platform/foundation/ZQAssert.h"
#include "support/LogCapture.h"

#include <QPointer>
#include <gtest/gtest.h>

using platform::KeyValueChange;
using platform::KeyValueChangeKind;
using namespace platform;

namespace {

// Records every change it is told of.
class Recorder : public QObject, public platform::KeyValueObserver {
public:
    struct Entry {
        QString keyPath;
        KeyValueChange change;
        void* context;
    };
    QList<Entry> entries;

    void observeValueForKeyPathOfObjectChangeContext(const QString& keyPath, ZQObject*, const KeyValueChange& change,
                                                     void* context) override
    {
        entries.append({keyPath, change, context});
    }
    QVariantList newValues() const
    {
        QVariantList values;
        for (const Entry& e : entries)
            values.append(e.change.newValue);
        return values;
    }
};

const KeyValueObservingOptions kOldNew = KeyValueObservingOptionOld | KeyValueObservingOptionNew;

} // namespace

TEST(KeyValueObserving, InitialPriorOldAndNewValuesWithContext)
{
    auto ann = makePerson("Ann", 30);
    Recorder recorder;
    int context = 7;
    ann->addObserverForKeyPathOptionsContext(&recorder, "age", kOldNew | KeyValueObservingOptionInitial, &context);
    ann->setAge(31);
    ASSERT_EQ(recorder.entries.size(), 2);
    EXPECT_EQ(recorder.entries[0].change.newValue.toInt(), 30); // the initial notification
    EXPECT_FALSE(recorder.entries[0].change.oldValue.isValid());
    EXPECT_EQ(recorder.entries[1].change.oldValue.toInt(), 30);
    EXPECT_EQ(recorder.entries[1].change.newValue.toInt(), 31);
    EXPECT_EQ(recorder.entries[1].context, &context);
    EXPECT_EQ(recorder.entries[1].keyPath, "age");
    ann->removeObserverForKeyPath(&recorder, "age");
    ann->setAge(32);
    EXPECT_EQ(recorder.entries.size(), 2);
    EXPECT_FALSE(ann->hasObservers());

    // A prior notification comes before the change, with the old value only.
    QList<KeyValueChange> changes;
    QObject receiver;
    ann->observeKeyPath("name", kOldNew | KeyValueObservingOptionPrior, &receiver,
                        [&](const KeyValueChange& c) { changes.append(c); });
    ann->setName("Anna");
    ASSERT_EQ(changes.size(), 2);
    EXPECT_TRUE(changes[0].isPrior);
    EXPECT_EQ(changes[0].oldValue.toString(), "Ann");
    EXPECT_FALSE(changes[0].newValue.isValid());
    EXPECT_FALSE(changes[1].isPrior);
    EXPECT_EQ(changes[1].newValue.toString(), "Anna");
}

TEST(KeyValueObserving, KeyPathRebindsWhenTheMiddleObjectIsReplaced)
{
    auto ann = makePerson("Ann", 30);
    auto bob = makePerson("Bob", 32);
    auto cid = makePerson("Cid", 40);
    ann->setPartner(bob.get());

    Recorder recorder;
    ann->addObserverForKeyPathOptionsContext(&recorder, "partner.name", kOldNew | KeyValueObservingOptionInitial);
    bob->setName("Robert");
    ann->setPartner(cid.get()); // the path now runs through Cid
    bob->setName("Bobby");      // no longer on the path
    cid->setName("Cedric");
    ann->setPartner(nullptr);
    cid->setName("Ignored");

    ASSERT_EQ(recorder.entries.size(), 5);
    EXPECT_EQ(recorder.newValues(), (QVariantList{"Bob", "Robert", "Cid", "Cedric", QVariant()}));
    EXPECT_EQ(recorder.entries[2].change.oldValue.toString(), "Robert");
    EXPECT_EQ(recorder.entries[4].change.oldValue.toString(), "Cedric");
}

TEST(KeyValueObserving, DependentKeysNotifyWithTheDerivedValue)
{
    auto ann = makePerson("Ann", 30);
    auto bob = makePerson("Bob", 32);
    ann->setPartner(bob.get());
    Recorder recorder;
    ann->addObserverForKeyPathOptionsContext(&recorder, "partner.summary", kOldNew);
    bob->setAge(33);
    bob->setName("Rob");
    ASSERT_EQ(recorder.entries.size(), 2);
    EXPECT_EQ(recorder.entries[0].change.oldValue.toString(), "Bob (32)");
    EXPECT_EQ(recorder.entries[0].change.newValue.toString(), "Bob (33)");
    EXPECT_EQ(recorder.entries[1].change.newValue.toString(), "Rob (33)");
}

TEST(KeyValueObserving, IndexedChangesCarryKindIndexesAndElements)
{
    auto ann = makePerson("Ann", 30);
    Recorder recorder;
    ann->addObserverForKeyPathOptionsContext(&recorder, "pets", kOldNew);
    ann->insertPet("cat", 0);
    ann->insertPet("dog", 1);
    ann->removePet(0);
    ASSERT_EQ(recorder.entries.size(), 3);
    EXPECT_EQ(recorder.entries[1].change.kind, KeyValueChangeKind::Insertion);
    EXPECT_EQ(recorder.entries[1].change.indexes, QList<int>{1});
    EXPECT_EQ(recorder.entries[1].change.newValue.toStringList(), QStringList{"dog"});
    EXPECT_EQ(recorder.entries[2].change.kind, KeyValueChangeKind::Removal);
    EXPECT_EQ(recorder.entries[2].change.oldValue.toStringList(), QStringList{"cat"});
    EXPECT_FALSE(recorder.entries[2].change.newValue.isValid());
}

TEST(KeyValueObserving, DestroyedObserversAreNeverCalledAndDetach)
{
    auto ann = makePerson("Ann", 30);
    auto bob = makePerson("Bob", 32);
    ann->setPartner(bob.get());
    int calls = 0;
    {
        QObject receiver;
        ann->observeKeyPath("partner.age", KeyValueObservingOptionNew, &receiver, [&](const KeyValueChange&) { ++calls; });
        auto recorder = std::make_unique<Recorder>();
        ann->addObserverForKeyPathOptionsContext(recorder.get(), "age", KeyValueObservingOptionNew);
        bob->setAge(1);
        EXPECT_EQ(calls, 1);
    }
    bob->setAge(2);
    ann->setAge(3);
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(ann->hasObservers());
    EXPECT_FALSE(bob->hasObservers()); // the binding through the partner is gone too
}

TEST(KeyValueObserving, ObservedObjectMayDieFirstAndCallbacksMayRemoveThemselves)
{
    auto bob = makePerson("Bob", 32);
    Recorder recorder;
    {
        auto ann = makePerson("Ann", 30);
        ann->setPartner(bob.get());
        ann->addObserverForKeyPathOptionsContext(&recorder, "partner.age", KeyValueObservingOptionNew);
    }
    bob->setAge(40); // Ann and her observations are gone; Bob must not call into them
    EXPECT_TRUE(recorder.entries.isEmpty());
    EXPECT_FALSE(bob->hasObservers());

    QObject receiver;
    int calls = 0;
    ObservationToken token = 0;
    token = bob->observeKeyPath("age", KeyValueObservingOptionNew, &receiver, [&](const KeyValueChange&) {
        ++calls;
        bob->removeObservation(token);
    });
    bob->setAge(41);
    bob->setAge(42);
    EXPECT_EQ(calls, 1);
}

TEST(KeyValueObserving, CyclicDependentKeysRaiseInsteadOfRecursing)
{
    class Loop : public ZQObject {
    public:
        QStringList keyPathsForValuesAffectingValueForKey(const QString& key) const override
        {
            return {key == QLatin1String("a") ? QStringLiteral("b") : QStringLiteral("a")};
        }
    };
    Loop loop;
    QObject receiver;
    EXPECT_THROW(loop.observeKeyPath("a", {}, &receiver, [](const KeyValueChange&) {}), platform::AssertionFailure);
    // The failed registration leaves nothing behind that a later change could call into.
    EXPECT_FALSE(loop.hasObservers());
    loop.willChangeValueForKey("a");
    loop.didChangeValueForKey("a");
}

namespace {

// A gauge whose level refuses negative values halfway through its setter, and a holder whose
// link may lead into an object with cyclic dependent keys.
class Gauge : public ZQObject {
public:
    void setLevel(int level)
    {
        announceChangeForKey("level", [&] {
            if (level < 0)
                throw std::invalid_argument("negative level");
            m_level = level;
        });
    }
    QVariant valueForUndefinedKey(const QString& key) const override
    {
        return key == QLatin1String("level") ? QVariant(m_level) : ZQObject::valueForUndefinedKey(key);
    }

private:
    int m_level = 0;
};

class CyclicKeys : public ZQObject {
public:
    QStringList keyPathsForValuesAffectingValueForKey(const QString& key) const override
    {
        return {key == QLatin1String("a") ? QStringLiteral("b") : QStringLiteral("a")};
    }
    QVariant valueForUndefinedKey(const QString&) const override { return 1; }
};

class Holder : public ZQObject {
public:
    void setLink(ZQObject* link)
    {
        announceChangeForKey("link", [&] { m_link = link; });
    }
    QVariant valueForUndefinedKey(const QString&) const override
    {
        return QVariant::fromValue(static_cast<QObject*>(m_link));
    }

private:
    ZQObject* m_link = nullptr;
};

} // namespace

TEST(KeyValueObserving, ThrowingObserversAndSettersNeitherEndTheProcessNorSendFalseChanges)
{
    testsupport::LogCapture log;
    auto ann = makePerson("Ann", 30);
    QObject receiver;
    ann->observeKeyPath("age", KeyValueObservingOptionNew, &receiver,
                        [](const KeyValueChange&) { throw std::runtime_error("observer failed"); });
    QVariantList ages;
    ann->observeKeyPath("age", KeyValueObservingOptionNew, &receiver,
                        [&](const KeyValueChange& change) { ages.append(change.newValue); });
    ann->setAge(31);
    ann->setAge(32);
    EXPECT_EQ(ages, (QVariantList{31, 32}));
    EXPECT_EQ(log.lines.count(QStringLiteral("exception caught in key-value observer: observer failed")), 2);

    // A setter that throws announces its will-change only; the next change reports the true old value.
    Gauge gauge;
    QList<KeyValueChange> changes;
    gauge.observeKeyPath("level", kOldNew | KeyValueObservingOptionPrior, &receiver,
                         [&](const KeyValueChange& change) { changes.append(change); });
    EXPECT_THROW(gauge.setLevel(-1), std::invalid_argument);
    ASSERT_EQ(changes.size(), 1);
    EXPECT_TRUE(changes[0].isPrior);
    gauge.setLevel(5);
    ASSERT_EQ(changes.size(), 3);
    EXPECT_FALSE(changes[2].isPrior);
    EXPECT_EQ(changes[2].oldValue, 0);
    EXPECT_EQ(changes[2].newValue, 5);
}

TEST(KeyValueObserving, RebindingIntoCyclicDependentKeysIsLoggedAndTheObserverStillHears)
{
    testsupport::LogCapture log;
    Holder holder;
    CyclicKeys cyclic;
    QObject receiver;
    int calls = 0;
    holder.observeKeyPath("link.a", KeyValueObservingOptionNew, &receiver, [&](const KeyValueChange&) { ++calls; });
    holder.setLink(&cyclic);
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(log.contains("depends on itself"));
    // Nothing half-bound is left on the cyclic object, and the path still follows the link.
    EXPECT_FALSE(cyclic.hasObservers());
    cyclic.willChangeValueForKey("a");
    cyclic.didChangeValueForKey("a");
    holder.setLink(nullptr);
    EXPECT_EQ(calls, 2);
}

TEST(KeyValueObserving, SeveralKeyPathsUnderOneTokenNameTheirChangesAndShareTheirLink)
{
    auto ann = makePerson("Ann", 30);
    auto bob = makePerson("Bob", 32);
    auto cid = makePerson("Cid", 40);
    ann->setPartner(bob.get());
    QObject receiver;
    QList<KeyValueChange> changes;
    const ObservationToken token = ann->observeKeyPaths(
        {"age", "partner.name", "partner.summary", "partner.age"}, kOldNew, &receiver,
        [&](const KeyValueChange& change) { changes.append(change); });

    bob->setAge(33); // reaches partner.summary (dependent) and partner.age, in the order given
    ASSERT_EQ(changes.size(), 2);
    EXPECT_EQ(changes[0].keyPath, "partner.summary");
    EXPECT_EQ(changes[0].oldValue.toString(), "Bob (32)");
    EXPECT_EQ(changes[0].newValue.toString(), "Bob (33)");
    EXPECT_EQ(changes[1].keyPath, "partner.age");
    EXPECT_EQ(changes[1].oldValue.toInt(), 32);
    EXPECT_EQ(changes[1].newValue.toInt(), 33);

    // Replacing the link tells every path through it, each with its own old and new value,
    // and the paths follow the new partner only.
    changes.clear();
    ann->setPartner(cid.get());
    ASSERT_EQ(changes.size(), 3);
    EXPECT_EQ(changes[0].keyPath, "partner.name");
    EXPECT_EQ(changes[0].oldValue.toString(), "Bob");
    EXPECT_EQ(changes[0].newValue.toString(), "Cid");
    EXPECT_EQ(changes[2].oldValue.toInt(), 33);
    EXPECT_EQ(changes[2].newValue.toInt(), 40);
    EXPECT_EQ(changes[2].kind, KeyValueChangeKind::Setting);
    EXPECT_FALSE(bob->hasObservers());
    bob->setName("Robert");
    ann->setAge(31);
    ASSERT_EQ(changes.size(), 4);
    EXPECT_EQ(changes[3].keyPath, "age");

    // One token ends every path, on the linked object too.
    ann->removeObservation(token);
    EXPECT_FALSE(ann->hasObservers());
    EXPECT_FALSE(cid->hasObservers());
}

TEST(KeyValueObserving, ACallbackEndingItsObservationHearsNoMorePathsOfThatChange)
{
    auto ann = makePerson("Ann", 30);
    auto bob = makePerson("Bob", 32);
    ann->setPartner(bob.get());
    QObject receiver;
    QStringList heard;
    ObservationToken token = 0;
    token = ann->observeKeyPaths({"partner.name", "partner.age", "partner.summary"}, {}, &receiver,
                                 [&](const KeyValueChange& change) {
                                     heard.append(change.keyPath);
                                     ann->removeObservation(token);
                                 });
    ann->setPartner(nullptr);
    EXPECT_EQ(heard, QStringList{"partner.name"});
    EXPECT_FALSE(ann->hasObservers());
    EXPECT_FALSE(bob->hasObservers());
}

TEST(KeyValueObserving, EveryOrderOfTheSamePathsHearsItsOwnChangesInItsOrderWhileOthersLeave)
{
    // More sets of paths than are remembered at once, all on one object.
    auto ann = makePerson("Ann", 30);
    auto bob = makePerson("Bob", 32);
    ann->setPartner(bob.get());
    QObject receiver;
    QStringList paths{"age", "name", "partner.name", "summary"};
    std::vector<std::pair<QStringList, QStringList>> heard; // paths, what they heard
    heard.reserve(24);
    // The first to hear of an age ends the last: a watcher that goes during a change hears no more.
    ObservationToken last = 0;
    ann->observeKeyPath("age", {}, &receiver, [&](const KeyValueChange&) { ann->removeObservation(last); });
    std::vector<ObservationToken> tokens;
    do {
        auto* own = &heard.emplace_back(paths, QStringList()).second;
        tokens.push_back(ann->observeKeyPaths(paths, {}, &receiver, [own](const KeyValueChange& change) { own->append(change.keyPath); }));
    } while (std::next_permutation(paths.begin(), paths.end()));
    last = tokens.back();
    ann->removeObservation(tokens.front()); // out of order

    ann->setAge(31);
    bob->setName("Rob");
    EXPECT_TRUE(heard.front().second.isEmpty());
    EXPECT_TRUE(heard.back().second.isEmpty());
    for (std::size_t i = 1; i + 1 < heard.size(); ++i) {
        QStringList expected;
        for (const QString& path : heard[i].first) {
            if (path == "age" || path == "summary")
                expected.append(path);
        }
        expected.append("partner.name");
        EXPECT_EQ(heard[i].second, expected) << heard[i].first.join(',').toStdString();
    }
}
