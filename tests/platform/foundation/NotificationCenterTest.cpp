#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/ZQAssert.h"
#include "support/LogCapture.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>
#include <thread>

using platform::Notification;
using platform::NotificationCenter;

namespace {

class Listener : public QObject {
    Q_OBJECT

public:
    QStringList heard;

    Q_INVOKABLE void selectionChanged(const platform::Notification& notification)
    {
        heard << notification.name + ':' + notification.userInfo.value("count").toString();
    }
    Q_INVOKABLE void poke() { heard << "poke"; }
};

// Registers an observer that records "<tag> <name>" into `log`.
platform::NotificationObserverToken record(NotificationCenter& center, QStringList& log, const QString& tag,
                                           QObject* observer, const QString& name = {}, QObject* sender = nullptr)
{
    return center.addObserver(observer, name, sender,
                              [&log, tag](const Notification& n) { log << tag + ' ' + n.name; });
}

} // namespace

TEST(NotificationCenter, DeliversInRegistrationOrderByNameAndSender)
{
    NotificationCenter center;
    QObject layer, drawing, observer;
    QStringList log;
    record(center, log, "layer-only", &observer, "changed", &layer);
    record(center, log, "any-name", &observer, {}, &drawing);
    record(center, log, "any-sender", &observer, "changed");
    record(center, log, "everything", nullptr);

    center.postNotificationName("changed", &layer);
    center.postNotificationName("changed", &drawing);
    center.postNotificationName("moved", nullptr);
    EXPECT_EQ(log, (QStringList{"layer-only changed", "any-sender changed", "everything changed", "any-name changed",
                                "any-sender changed", "everything changed", "everything moved"}));

    QVariantMap received;
    QObject* sender = nullptr;
    center.addObserver(&observer, "info", nullptr, [&](const Notification& n) {
        received = n.userInfo;
        sender = n.object();
    });
    center.postNotification({"info", &layer, {{"old_index", 2}, {"new_index", 5}}});
    EXPECT_EQ(received.value("new_index").toInt(), 5);
    EXPECT_EQ(sender, &layer);
    EXPECT_THROW(center.postNotificationName({}, &layer), platform::AssertionFailure);
}

TEST(NotificationCenter, SelectorObserversReceiveTheNotification)
{
    NotificationCenter center;
    Listener listener;
    center.addObserverSelectorNameObject(&listener, "selectionChanged", "kVXLayerSelectionDidChange", nullptr);
    center.addObserverSelectorNameObject(&listener, "poke", "kVXLayerSelectionDidChange", nullptr);
    center.postNotificationName("kVXLayerSelectionDidChange", nullptr, {{"count", 3}});
    EXPECT_EQ(listener.heard, (QStringList{"kVXLayerSelectionDidChange:3", "poke"}));
    EXPECT_THROW(center.addObserverSelectorNameObject(&listener, "missing", "x", nullptr), platform::AssertionFailure);
}

TEST(NotificationCenter, RemovalAndAdditionDuringAPostTakeEffectAsTheyHappen)
{
    NotificationCenter center;
    QObject first, second, third;
    QStringList log;
    platform::NotificationObserverToken late = 0;
    center.addObserver(&first, "tick", nullptr, [&](const Notification&) {
        log << "first";
        center.removeObserver(&second);
        center.removeObserver(&first);
        if (!late)
            late = record(center, log, "late", &third, "tick");
    });
    record(center, log, "second", &second, "tick");
    center.postNotificationName("tick", nullptr);
    EXPECT_EQ(log, QStringList{"first"});
    center.postNotificationName("tick", nullptr);
    EXPECT_EQ(log, (QStringList{"first", "late tick"}));

    center.removeObserver(late);
    record(center, log, "tick-from-first", &third, "tick", &first);
    record(center, log, "tock", &third, "tock");
    center.removeObserver(&third, "tick", nullptr);
    center.postNotificationName("tick", &first);
    center.postNotificationName("tock", nullptr);
    EXPECT_EQ(log.mid(2), QStringList{"tock tock"});
}

TEST(NotificationCenter, DeadObserversAndSendersStopMatching)
{
    NotificationCenter center;
    QStringList log;
    auto observer = std::make_unique<QObject>();
    auto sender = std::make_unique<QObject>();
    record(center, log, "dead-observer", observer.get(), "ping");
    QObject keeper;
    record(center, log, "dead-sender", &keeper, "ping", sender.get());
    observer.reset();
    sender.reset();
    // A new object often takes the dead sender's address; it is still someone else.
    const auto reborn = std::make_unique<QObject>();
    center.postNotificationName("ping", reborn.get());
    EXPECT_TRUE(log.isEmpty());

    // One failing observer does not stop the others, nor the poster.
    testsupport::LogCapture logged;
    center.addObserver(&keeper, "ping", nullptr, [](const Notification&) { throw std::runtime_error("observer broke"); });
    record(center, log, "after", &keeper, "ping");
    EXPECT_NO_THROW(center.postNotificationName("ping", nullptr));
    EXPECT_EQ(log, QStringList{"after ping"});
    ASSERT_EQ(logged.lines.size(), 1);
    EXPECT_TRUE(logged.lines[0].contains("observer broke"));
}

// A map's library items each observe their own object and let go one by one when it closes;
// the registry has to stay linear in them, and keep delivering right while it does.
TEST(NotificationCenter, TensOfThousandsOfObserversComeAndGoInLinearTime)
{
    constexpr int kObservers = 100'000;
    NotificationCenter center;
    std::vector<std::unique_ptr<QObject>> senders;
    std::vector<platform::NotificationObserverToken> tokens;
    QStringList log;
    for (int index = 0; index < kObservers; ++index) {
        senders.push_back(std::make_unique<QObject>());
        tokens.push_back(record(center, log, QString::number(index), senders.back().get(), "changed", senders.back().get()));
    }
    for (int index = 0; index < kObservers; ++index) {
        if (index % 1000 == 7)
            continue;
        center.removeObserver(tokens[size_t(index)]);
        center.removeObserver(tokens[size_t(index)]);
    }
    // Sweeping or searching the registry per add or removal would look at billions here.
    EXPECT_LE(center.registrationsExamined(), quint64(20 * kObservers));

    for (int index : {0, 7, 1007, 99'007})
        center.postNotificationName("changed", senders[size_t(index)].get());
    EXPECT_EQ(log, (QStringList{"7 changed", "1007 changed", "99007 changed"}));

    // The survivors and later observers still come in registration order, and a gone sender
    // still drops its observer.
    QObject later;
    log.clear();
    record(center, log, "later", &later, "changed");
    senders[1007].reset();
    center.postNotificationName("changed", senders[7].get());
    center.removeObserver(tokens[7]);
    center.postNotificationName("changed", senders[7].get());
    EXPECT_EQ(log, (QStringList{"7 changed", "later changed", "later changed"}));
}

// A bulk edit on a large map posts once per object; a post has to look at the registrations
// that can match it, not at every object's, and still deliver in registration order.
TEST(NotificationCenter, APostExaminesOnlyWhatCanMatchItInRegistrationOrder)
{
    constexpr int kSenders = 20'000;
    NotificationCenter center;
    QObject observer;
    std::vector<std::unique_ptr<QObject>> senders;
    QStringList log;
    for (int index = 0; index < kSenders; ++index) {
        senders.push_back(std::make_unique<QObject>());
        record(center, log, QString::number(index), &observer, "styleChanged", senders.back().get());
    }
    record(center, log, "any sender", &observer, "styleChanged");
    record(center, log, "anything", &observer);
    record(center, log, "any name from 5", &observer, {}, senders[5].get());
    record(center, log, "5 again", &observer, "styleChanged", senders[5].get());
    record(center, log, "other name", &observer, "nameChanged");

    const quint64 before = center.registrationsExamined();
    for (const auto& sender : senders)
        center.postNotificationName("styleChanged", sender.get());
    EXPECT_LE(center.registrationsExamined() - before, quint64(4 * kSenders));
    EXPECT_EQ(log.size(), 3 * kSenders + 2);

    log.clear();
    center.postNotificationName("styleChanged", senders[5].get());
    EXPECT_EQ(log, (QStringList{"5 styleChanged", "any sender styleChanged", "anything styleChanged",
                                "any name from 5 styleChanged", "5 again styleChanged"}));

    // Letting go by observer and name leaves the other names and the sender-less posts alone.
    log.clear();
    center.removeObserver(&observer, "styleChanged", nullptr);
    center.postNotificationName("styleChanged", senders[5].get());
    center.postNotificationName("nameChanged", nullptr);
    EXPECT_EQ(log, (QStringList{"anything styleChanged", "any name from 5 styleChanged", "anything nameChanged",
                                "other name nameChanged"}));
}

#include "NotificationCenterTest.moc"

TEST(NotificationCenter, ASuspensionDropsPostsOfItsOwnThreadOnlyWhileItLasts)
{
    NotificationCenter center;
    QStringList log;
    QObject observer;
    record(center, log, "a", &observer, "Made");
    {
        const platform::NotificationSuspension suspension;
        const platform::NotificationSuspension nested;
        center.postNotificationName("Made", nullptr);
    }
    EXPECT_TRUE(log.isEmpty());
    center.postNotificationName("Made", nullptr);
    EXPECT_EQ(log, QStringList{"a Made"});

    // A worker inside a suspension may post (nothing arrives); outside one it may not.
    bool plainPostThrew = false;
    std::thread worker([&] {
        {
            const platform::NotificationSuspension suspension;
            center.postNotificationName("Made", nullptr); // an escaping throw would end the process
        }
        try {
            center.postNotificationName("Made", nullptr);
        } catch (const platform::AssertionFailure&) {
            plainPostThrew = true;
        }
    });
    worker.join();
    EXPECT_TRUE(plainPostThrew);
    EXPECT_EQ(log, QStringList{"a Made"});
}
