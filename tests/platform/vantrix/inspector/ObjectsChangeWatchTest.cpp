#include "platform/foundation/KeyChangeListeners.h"
#include "platform/vantrix/drawables/VXTextPath.h"
#include "platform/vantrix/drawables/VXTextShape.h"
#include "platform/vantrix/inspector/ObjectsChangeWatch.h"

#include <gtest/gtest.h>
#include <thread>

namespace {

class Mayor : public ZQObject {
    Q_OBJECT
    Q_PROPERTY(QString party READ party WRITE setParty)

public:
    QString party() const { return m_party; }
    void setParty(const QString& party)
    {
        announceChangeForKey(QStringLiteral("party"), [&] { m_party = party; });
    }

private:
    QString m_party;
};

// A town whose title derives from its name, with a mayor (a to-one link).
class Town : public ZQObject {
    Q_OBJECT
    Q_PROPERTY(QString name READ name WRITE setName)
    Q_PROPERTY(QString title READ title)
    Q_PROPERTY(ZQObjectPtr mayor READ mayor WRITE setMayor)

public:
    QString name() const { return m_name; }
    void setName(const QString& name)
    {
        announceChangeForKey(QStringLiteral("name"), [&] { m_name = name; });
    }
    QString title() const { return QStringLiteral("Town of ") + m_name; }
    ZQObjectPtr mayor() const { return m_mayor; }
    void setMayor(const ZQObjectPtr& mayor)
    {
        announceChangeForKey(QStringLiteral("mayor"), [&] { m_mayor = mayor; });
    }
    QStringList keyPathsForValuesAffectingValueForKey(const QString& key) const override
    {
        return key == QLatin1String("title") ? QStringList{QStringLiteral("name")} : QStringList{};
    }

private:
    QString m_name;
    ZQObjectPtr m_mayor;
};

} // namespace

TEST(ObjectsChangeWatch, TellsChangesOfListedObjectsTheirDependenciesAndLinkedObjectsOnly)
{
    QList<std::shared_ptr<Town>> towns;
    for (int i = 0; i < 1000; ++i)
        towns.append(std::make_shared<Town>());
    const auto elsewhere = std::make_shared<Town>();
    const auto mayor = std::make_shared<Mayor>();
    QStringList told;
    bool wanted = true;
    const QStringList paths{"title", "mayor.party"};
    platform::ObjectsChangeWatch watch(
        towns.mid(0, 999), paths, [&](qsizetype, bool, const ZQObject&) { return wanted; },
        [&](qsizetype index, bool prior) { told.append(paths[index] + (prior ? " before" : " after")); });

    towns[500]->setName("Weir"); // a dependency of the title
    EXPECT_EQ(told, QStringList({"title before", "title after"}));
    told.clear();
    towns[999]->setName("Ford"); // not watched
    elsewhere->setName("Ford");
    EXPECT_TRUE(told.isEmpty());
    towns[0]->setMayor(mayor); // the link itself
    mayor->setParty("Greens"); // a linked object
    EXPECT_EQ(told, QStringList({"mayor.party before", "mayor.party after", "mayor.party before", "mayor.party after"}));
    told.clear();
    wanted = false;
    towns[998]->setName("Dale");
    EXPECT_TRUE(told.isEmpty());
}

TEST(ObjectsChangeWatch, FollowsDottedDependenciesAsObservationDoes)
{
    // Text shapes and text paths declare their text keys as following their adornment's.
    QList<std::shared_ptr<VXDrawableObject>> texts;
    for (int i = 0; i < 3000; ++i) {
        if (i % 2)
            texts.append(std::make_shared<VXTextPath>());
        else
            texts.append(std::make_shared<VXTextShape>());
    }
    const QStringList paths{"string", "font", "textColour", "alignment"};
    QList<int> told(paths.size());
    platform::ObjectsChangeWatch watch(
        texts, paths, [](qsizetype, bool, const ZQObject&) { return true; },
        [&](qsizetype index, bool prior) { told[index] += !prior; });

    QObject receiver;
    for (const qsizetype at : {qsizetype(0), texts.size() / 2 + 1, texts.size() - 1}) {
        ZQObject& text = *texts[at];
        QList<int> observed(paths.size());
        const platform::ObservationToken token = text.observeKeyPaths(paths, platform::KeyValueObservingOptionNew, &receiver,
                             [&](const platform::KeyValueChange& change) { ++observed[paths.indexOf(change.keyPath)]; });
        told.fill(0);
        text.setValueForKey(QStringLiteral("Mill"), QStringLiteral("string"));
        text.setValueForKey(QFont(QStringLiteral("DejaVu Serif"), 30), QStringLiteral("font"));
        text.setValueForKey(QColor(Qt::red), QStringLiteral("textColour"));
        text.setValueForKey(2, QStringLiteral("alignment"));
        EXPECT_EQ(text.valueForKey(QStringLiteral("string")).toString(), "Mill");
        for (qsizetype p = 0; p < paths.size(); ++p) {
            EXPECT_GT(observed[p], 0) << paths[p].toStdString();
            EXPECT_EQ(told[p], observed[p]) << paths[p].toStdString() << " of object " << at;
        }
        text.removeObservation(token);
    }
}

TEST(KeyChangeListeners, ListenersMayGoWhileToldAndHearOnlyTheirOwnThread)
{
    QStringList heard;
    quint64 second = 0;
    const quint64 first = platform::KeyChangeListeners::add([&](ZQObject&, const QString& key, bool prior) {
        if (!prior)
            heard.append("first " + key);
        platform::KeyChangeListeners::remove(second); // the later one hears no more
    });
    second = platform::KeyChangeListeners::add([&](ZQObject&, const QString& key, bool) { heard.append("second " + key); });
    Town town;
    town.setName("Weir");
    std::thread([] { Town().setName("Ford"); }).join();
    platform::KeyChangeListeners::remove(first);
    town.setName("Dale");
    EXPECT_EQ(heard, QStringList({"first name"}));
}

#include "ObjectsChangeWatchTest.moc"
