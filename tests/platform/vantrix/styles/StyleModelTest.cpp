#include "platform/vantrix/styles/ComponentTestSupport.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/vantrix/styles/VXFill.h"
#include "platform/vantrix/styles/VXFillPattern.h"
#include "platform/vantrix/styles/VXGloomGroup.h"
#include "platform/vantrix/styles/VXGradientFill.h"
#include "platform/vantrix/styles/VXHatching.h"
#include "platform/vantrix/styles/VXStroke.h"
#include "platform/vantrix/styles/VXStyle.h"
#include "platform/vantrix/model/VXUniqueID.h"
#include "platform/vantrix/settings/VXDrawingPreferences.h"
#include "support/LogCapture.h"
#include "support/PreferencesScope.h"

#include <QScopeGuard>
#include <QSet>
#include <QStringList>
#include <functional>
#include <malloc.h>
#include <gtest/gtest.h>

using platform::KeyValueChange;
using platform::KeyValueChangeKind;
using platform::NotificationCenter;

namespace {

// A style with a fill and a stroke, edited under an undo manager one explicit group at a time.
class StyleEditing : public ::testing::Test {
protected:
    void SetUp() override
    {
        undo.setGroupsByEvent(false);
        style = VXStyle::styleWithFillColourStrokeColour(Qt::white, Qt::black);
        fill = style->renderersOfClass<VXFill>().first();
        stroke = style->renderersOfClass<VXStroke>().first();
    }

    template <class Edit>
    void edit(Edit change)
    {
        const VXRasterizer::EditingScope editing(&undo); // the document doing the edit
        undo.beginUndoGrouping();
        change();
        undo.endUndoGrouping();
    }

    QStringList classNames() const
    {
        QStringList names;
        for (const VXRasterizerPtr& renderer : style->renderList())
            names << renderer->className();
        return names;
    }

    ZQUndoManager undo;
    VXStylePtr style;
    VXFillPtr fill;
    VXStrokePtr stroke;
};

struct RecordingObserver : QObject, VXRasterizerObserver {
    QStringList calls;
    void rasterizerWillChangeKeyPath(VXRasterizer*, const QString& keyPath) override { calls << "will " + keyPath; }
    void rasterizerDidChangeKeyPath(VXRasterizer*, const QString& keyPath) override { calls << "did " + keyPath; }
};

} // namespace

TEST_F(StyleEditing, KeyChangesUndoAndRedoWholeUnderTheirActionNames)
{
    const auto hatching = std::make_shared<VXHatching>();
    const auto pattern = std::make_shared<VXFillPattern>();
    const auto gloom = std::make_shared<VXGloomGroup>();
    edit([&] {
        for (const VXRasterizerPtr& component : QList<VXRasterizerPtr>{hatching, pattern, gloom})
            style->addRenderer(component);
    });
    const struct {
        const char* name;
        std::function<void()> change;
    } edits[] = {
        {"Stroke Width", [&] { stroke->setWidth(5); }},
        {"Fill Colour", [&] { fill->setColour(Qt::red); }},
        {"Stroke Width", [&] { stroke->setValueForKey(3.5, "width"); }}, // key-value coding: the same setter
        {"Style Opacity", [&] { style->setValueForKeyPath(0.25, "opacity"); }},
        {"Hatch Spacing", [&] { hatching->setSpacing(3); }},
        {"Pattern Spacing", [&] { pattern->setInterval(7); }}, // named for the kind of decorator
        {"Pattern Auto-Tile", [&] { pattern->setAutoTile(true); }},
        {"Change Pattern Image", [&] { pattern->setImage(componenttest::solidImage(QSize(2, 2), Qt::red)); }},
        {"Bloom Group Type", [&] { gloom->setType(VXGloomGroup::kBloom); }}, // named for the kind it becomes
        {"Bloom Group Radius", [&] { gloom->setRadius(4); }},
        {"Stroke Dash", [&] { stroke->setDash(VXStrokeDash::dashWithPatternPhase({4, 2})); }},
        {"Stroke Dash", [&] { stroke->setValueForKey(QVariant(), "dash"); }}, // "Solid Line"
    };
    for (const auto& e : edits) {
        const VXStylePtr before = style->mutableCopy();
        edit(e.change);
        EXPECT_EQ(undo.undoActionName(), e.name);
        const VXStylePtr after = style->mutableCopy();
        EXPECT_FALSE(after->isEqualToStyle(before.get())) << e.name;
        undo.undo();
        EXPECT_TRUE(style->isEqualToStyle(before.get())) << e.name;
        undo.redo();
        EXPECT_TRUE(style->isEqualToStyle(after.get())) << e.name;
    }
    EXPECT_DOUBLE_EQ(stroke->width(), 3.5);
    EXPECT_EQ(stroke->dash(), nullptr);
    undo.undo();
    EXPECT_EQ(undo.redoActionName(), "Stroke Dash");
    undo.redo();
    const int groups = undo.numberOfUndoActions();
    edit([&] { stroke->setWidth(3.5); }); // unchanged: nothing to undo
    EXPECT_EQ(undo.numberOfUndoActions(), groups);
    // Undo and redo of a change that renames the kind keep the name the change was made under.
    edit([&] { gloom->setType(VXGloomGroup::kGloom); });
    undo.undo();
    EXPECT_EQ(undo.redoActionName(), "Gloom Group Type");
    undo.redo();
    EXPECT_EQ(undo.undoActionName(), "Gloom Group Type");

    // Names come from the class, the subclass's own first, or are set for it.
    EXPECT_EQ(stroke->actionNameForKeyPathChangeKind("enabled"), "Enable Stroke");
    EXPECT_EQ(style->actionNameForKeyPathChangeKind("enabled"), "Enable Style");
    EXPECT_EQ(VXRasterizer::actionNameForKeyPathObjClass("tagPhase", &VXStroke::staticMetaObject), "Change Tag Phase");
    {
        const auto forget = qScopeGuard([] { VXRasterizer::setActionNameForKeyPath<VXStroke>({}, "width"); });
        VXRasterizer::setActionNameForKeyPath<VXStroke>("#kind# Thickness", "width");
        EXPECT_EQ(stroke->actionNameForKeyPathChangeKind("width"), "Stroke Thickness");
    }
    EXPECT_EQ(stroke->actionNameForKeyPathChangeKind("width"), "Stroke Width");
}

TEST_F(StyleEditing, ObserversAndNotificationsHearEveryChangeOnceInOrder)
{
    auto observer = std::make_unique<RecordingObserver>();
    stroke->addRastObserver(observer.get());
    QList<KeyValueChange> changes;
    QObject receiver;
    stroke->observeKeyPath("colour", platform::KeyValueObservingOptionOld | platform::KeyValueObservingOptionNew,
                           &receiver, [&](const KeyValueChange& change) { changes << change; });
    QStringList posted;
    for (const QString& name : {kVXStyleNameChangedNotification, kVXStyleLockStateChangedNotification,
                                kVXStyleDidChangeNotification, kVXStyleSharingEnabledChangeNotification})
        NotificationCenter::defaultCenter().addObserver(&receiver, name, nullptr,
                                                        [&](const platform::Notification& n) { posted << n.name; });

    edit([&] { stroke->setColour(Qt::blue); });
    edit([&] { stroke->setColour(Qt::blue); });
    EXPECT_EQ(observer->calls, (QStringList{"will colour", "did colour"}));
    ASSERT_EQ(changes.size(), 1);
    EXPECT_EQ(changes[0].oldValue.value<QColor>(), QColor(Qt::black));
    EXPECT_EQ(changes[0].newValue.value<QColor>(), QColor(Qt::blue));
    EXPECT_EQ(posted, QStringList{kVXStyleDidChangeNotification});
    undo.undo(); // undoing is a change like any other
    EXPECT_EQ(observer->calls.size(), 4);
    EXPECT_EQ(posted.size(), 2);

    posted.clear();
    edit([&] {
        style->setName("Roads");
        style->setLocked(true);
    });
    EXPECT_EQ(posted, (QStringList{kVXStyleNameChangedNotification, kVXStyleDidChangeNotification,
                                   kVXStyleLockStateChangedNotification, kVXStyleDidChangeNotification}));
    posted.clear();
    {
        const testsupport::PreferencesScope<VXDrawingPreferences> restore;
        const bool sharing = VXStyle::styleSharingEnabled();
        restore.set(&VXDrawingPreferences::styleSharingEnabled, !sharing);
        restore.set(&VXDrawingPreferences::styleSharingEnabled, !sharing);
        restore.set(&VXDrawingPreferences::styleSharingEnabled, sharing);
        EXPECT_EQ(posted.count(kVXStyleSharingEnabledChangeNotification), 2);
    }

    // An observer that dies is forgotten.
    observer.reset();
    EXPECT_TRUE(stroke->rastObservers().isEmpty());
    edit([&] { style->setLocked(false); });
    edit([&] { stroke->setWidth(3); });
    EXPECT_DOUBLE_EQ(stroke->width(), 3.0);
}

// A map whose objects each have a style of their own holds one observation per component:
// it has to stay small, and a style shared by thousands still tells each of them.
TEST(StyleModel, ObservationsCostLittleMemoryAndEveryObserverIsToldOnce)
{
    constexpr int kStyles = 2000;
    std::vector<VXStylePtr> styles;
    std::vector<RecordingObserver> observers(kStyles);
    for (int i = 0; i < kStyles; ++i)
        styles.push_back(VXStyle::styleWithFillColourStrokeColour(Qt::white, Qt::black));
    const size_t before = mallinfo2().uordblks;
    for (int i = 0; i < kStyles; ++i)
        styles[i]->renderersOfClass<VXFill>().first()->addRastObserver(&observers[i]);
    const double perObservation = double(mallinfo2().uordblks - before) / kStyles;
    EXPECT_LT(perObservation, 400) << "bytes held for each object observing its own fill";

    const VXFillPtr shared = styles.front()->renderersOfClass<VXFill>().first();
    for (RecordingObserver& observer : observers)
        shared->addRastObserver(&observer);
    for (int i = 0; i < kStyles; i += 2)
        shared->removeRastObserver(&observers[i]);
    EXPECT_EQ(shared->rastObservers().size(), kStyles / 2);
    shared->setColour(Qt::red);
    for (int i = 0; i < kStyles; ++i)
        ASSERT_EQ(observers[i].calls.size(), i % 2 ? 2 : 0) << i;
}

TEST_F(StyleEditing, AnObserverRemovedWhileOthersAreToldHearsNothingMore)
{
    // The first told removes all the others, whichever it is.
    struct RemovingObserver : RecordingObserver {
        std::vector<RemovingObserver>* all = nullptr;
        VXRasterizer* told = nullptr;
        void rasterizerWillChangeKeyPath(VXRasterizer* rasterizer, const QString& keyPath) override
        {
            RecordingObserver::rasterizerWillChangeKeyPath(rasterizer, keyPath);
            for (RemovingObserver& other : *all)
                if (&other != this)
                    told->removeRastObserver(&other);
        }
    };
    std::vector<RemovingObserver> observers(12);
    for (RemovingObserver& observer : observers) {
        observer.all = &observers;
        observer.told = stroke.get();
        stroke->addRastObserver(&observer);
    }
    edit([&] { stroke->setWidth(4); });
    const auto heard = std::count_if(observers.cbegin(), observers.cend(),
                                     [](const RemovingObserver& o) { return !o.calls.isEmpty(); });
    EXPECT_EQ(heard, 1);
    for (const RemovingObserver& observer : observers)
        if (!observer.calls.isEmpty())
            EXPECT_EQ(observer.calls, (QStringList{"will width", "did width"}));
    EXPECT_EQ(stroke->rastObservers().size(), 1);
}

TEST_F(StyleEditing, ThrowingObserversAreLoggedWhileTheEditAndItsUndoGoThrough)
{
    struct ThrowingObserver : QObject, VXRasterizerObserver {
        void rasterizerWillChangeKeyPath(VXRasterizer*, const QString&) override { throw std::runtime_error("will"); }
        void rasterizerDidChangeKeyPath(VXRasterizer*, const QString&) override { throw std::runtime_error("did"); }
    };
    // Throwers among listeners: every listener still hears each change once.
    std::vector<ThrowingObserver> throwers(3);
    std::vector<RecordingObserver> listeners(20);
    testsupport::LogCapture log;
    for (size_t i = 0; i < listeners.size(); ++i) {
        stroke->addRastObserver(&listeners[i]);
        if (i % 7 == 3)
            stroke->addRastObserver(&throwers[i / 7]);
    }
    QObject receiver;
    stroke->observeKeyPath("width", platform::KeyValueObservingOptionNew, &receiver,
                           [](const KeyValueChange&) { throw platform::AssertionFailure("observer failed"); });
    QVariantList widths;
    stroke->observeKeyPath("width", platform::KeyValueObservingOptionNew, &receiver,
                           [&](const KeyValueChange& change) { widths << change.newValue; });
    int styleChanges = 0;
    NotificationCenter::defaultCenter().addObserver(&receiver, kVXStyleDidChangeNotification, style.get(),
                                                    [&](const platform::Notification&) { ++styleChanges; });

    const double before = stroke->width();
    edit([&] { stroke->setWidth(6); });
    undo.undo();
    EXPECT_DOUBLE_EQ(stroke->width(), before);
    EXPECT_EQ(widths, (QVariantList{6.0, before}));
    EXPECT_EQ(styleChanges, 2);
    EXPECT_EQ(log.lines.count("exception caught in rasterizer observer: will"), 2 * throwers.size());
    EXPECT_EQ(log.lines.count("exception caught in rasterizer observer: did"), 2 * throwers.size());
    for (const RecordingObserver& listener : listeners)
        EXPECT_EQ(listener.calls, (QStringList{"will width", "did width", "will width", "did width"}));
    EXPECT_EQ(log.lines.count("exception caught in key-value observer: observer failed"), 2);
}

TEST_F(StyleEditing, LockedStyleIgnoresEditsButCanBeUnlocked)
{
    edit([&] { style->setLocked(true); });
    const int groups = undo.numberOfUndoActions();
    edit([&] {
        stroke->setWidth(9);
        fill->setColour(Qt::green);
        style->setName("Changed");
        style->addRenderer(std::make_shared<VXGradientFill>());
        style->moveRendererAtIndexToIndex(0, 1);
        style->setFillColour(Qt::yellow);
    });
    EXPECT_DOUBLE_EQ(stroke->width(), 1.0);
    EXPECT_EQ(fill->colour(), QColor(Qt::white));
    EXPECT_EQ(style->name(), QString());
    EXPECT_EQ(classNames(), (QStringList{"VXFill", "VXStroke"}));
    EXPECT_EQ(undo.numberOfUndoActions(), groups);

    edit([&] {
        style->setLocked(false);
        stroke->setLocked(true); // a locked component keeps its values; the others stay editable
        stroke->setWidth(9);
        fill->setColour(Qt::green);
    });
    EXPECT_DOUBLE_EQ(stroke->width(), 1.0);
    EXPECT_EQ(fill->colour(), QColor(Qt::green));
}

TEST_F(StyleEditing, RenderListEditsAreObservedAndUndoable)
{
    edit([&] { style->addRenderer(std::make_shared<VXGradientFill>()); });
    QList<KeyValueChange> changes;
    QObject receiver;
    style->observeKeyPath("renderList", {}, &receiver, [&](const KeyValueChange& c) { changes << c; });
    edit([&] { style->moveRendererAtIndexToIndex(0, 2); });
    EXPECT_EQ(classNames(), (QStringList{"VXStroke", "VXGradientFill", "VXFill"}));
    EXPECT_EQ(undo.undoActionName(), "Reorder Components");
    ASSERT_EQ(changes.size(), 2);
    EXPECT_EQ(changes[0].kind, KeyValueChangeKind::Removal);
    EXPECT_EQ(changes[0].indexes, QList<int>{0});
    EXPECT_EQ(changes[1].kind, KeyValueChangeKind::Insertion);
    EXPECT_EQ(changes[1].indexes, QList<int>{2});
    undo.undo();
    EXPECT_EQ(classNames(), (QStringList{"VXFill", "VXStroke", "VXGradientFill"}));
    undo.redo();
    EXPECT_EQ(classNames(), (QStringList{"VXStroke", "VXGradientFill", "VXFill"}));
    EXPECT_EQ(style->indexOfRenderer(fill.get()), 2);
    EXPECT_EQ(fill->container(), style.get());
    undo.undo();

    // Removed components come back where they were.
    edit([&] { fill->removeFromContainer(); });
    EXPECT_EQ(undo.undoActionName(), "Delete Fill");
    EXPECT_EQ(fill->container(), nullptr);
    EXPECT_FALSE(style->hasFill());
    undo.undo();
    EXPECT_EQ(style->indexOfRenderer(fill.get()), 0);
    edit([&] { style->setRenderList({stroke}); });
    EXPECT_EQ(classNames(), QStringList{"VXStroke"});
    undo.undo();
    EXPECT_EQ(classNames(), (QStringList{"VXFill", "VXStroke", "VXGradientFill"}));
}

TEST_F(StyleEditing, ComponentsMoveBetweenGroupsAsOneUndoableStep)
{
    auto group = std::make_shared<VXRastGroup>();
    edit([&] { style->addRenderer(group); });
    EXPECT_EQ(undo.undoActionName(), "Add Group");
    edit([&] { group->addRenderer(stroke); });
    EXPECT_EQ(stroke->container(), group.get());
    EXPECT_EQ(stroke->style(), style.get());
    EXPECT_EQ(classNames(), (QStringList{"VXFill", "VXRastGroup"}));
    EXPECT_EQ(style->renderersOfClass<VXStroke>().size(), 1); // found inside the group

    edit([&] { stroke->setWidth(4); }); // undo reaches components at any depth
    undo.undo();
    EXPECT_DOUBLE_EQ(stroke->width(), 1.0);
    undo.undo();
    EXPECT_EQ(stroke->container(), style.get());
    EXPECT_EQ(style->indexOfRenderer(stroke.get()), 1);
    EXPECT_EQ(group->countOfRenderList(), 0);

    EXPECT_THROW(group->addRenderer(group), platform::AssertionFailure);
    EXPECT_THROW(group->insertObjectInRenderListAtIndex(std::make_shared<VXFill>(), 5), platform::AssertionFailure);
    EXPECT_THROW(style->moveRendererAtIndexToIndex(0, 3), platform::AssertionFailure);
    edit([&] { group->addRenderer(style->objectInRenderListAtIndex(0)); });
    EXPECT_THROW(fill->container()->addRenderer(style), platform::AssertionFailure); // its own ancestor
}

TEST_F(StyleEditing, ColourShortcutsEditAddAndRemoveComponents)
{
    EXPECT_EQ(style->fillColour(), QColor(Qt::white));
    edit([&] { style->setFillColour(Qt::red); });
    EXPECT_EQ(fill->colour(), QColor(Qt::red));
    edit([&] { style->setFillColour(QColor()); });
    EXPECT_FALSE(style->hasFill());
    EXPECT_FALSE(style->fillColour().isValid());
    edit([&] { style->setFillColour(Qt::blue); });
    EXPECT_EQ(style->indexOfRenderer(style->renderersOfClass<VXFill>().first().get()), 0); // fills go underneath
    undo.undo();
    undo.undo();
    EXPECT_EQ(style->renderersOfClass<VXFill>().first(), fill);

    edit([&] { stroke->setEnabled(false); });
    EXPECT_FALSE(style->hasStroke());
    EXPECT_DOUBLE_EQ(style->maxStrokeWidth(), 0);
    edit([&] { style->setStrokeColour(Qt::green); }); // a disabled stroke is still the one coloured
    EXPECT_EQ(stroke->colour(), QColor(Qt::green));
}

TEST(StyleModel, DefaultStylesAreCopiesEachCallerMayEdit)
{
    const VXStyle::SettingsScope restoreSettings;
    EXPECT_EQ(VXStyle::styleWithFillColourStrokeColourStrokeWidth(QColor(), Qt::black, 0.5)->userDescription(),
              "Stroke 0.5 pt #000000");
    const VXStylePtr first = VXStyle::defaultStyle();
    const QColor fill = first->fillColour();
    EXPECT_NE(VXStyle::defaultStyle(), first);
    first->setFillColour(Qt::red);
    EXPECT_EQ(VXStyle::defaultStyle()->fillColour(), fill);
    const VXStylePtr custom = VXStyle::styleWithFillColourStrokeColour(Qt::yellow, QColor());
    VXStyle::setDefaultStyle(custom);
    custom->setFillColour(Qt::green); // the default is a copy taken when it was set
    EXPECT_EQ(VXStyle::defaultStyle()->fillColour(), QColor(Qt::yellow));
    VXStyle::setDefaultStyle(nullptr);
    EXPECT_EQ(VXStyle::defaultStyle()->fillColour(), fill);
    EXPECT_NE(VXStyle::defaultShadow(), VXStyle::defaultShadow());
}

namespace {
struct NumberingProvider : QObject, VXStyleNameProvider {
    QString nameForCopyOfStyle(const VXStyle& style) const override { return style.name() + " 2"; }
};
} // namespace

TEST(StyleModel, CopiesKeepOrRenewTheKeyAndShareNothing)
{
    const VXStylePtr original = VXStyle::styleWithFillColourStrokeColour(Qt::white, Qt::black);
    original->setName("Coast");
    original->setLocked(true);
    original->setIsStyleRegistered(true);
    const auto originalStroke = original->renderersOfClass<VXStroke>().first();
    originalStroke->setShadow(VXStyle::defaultShadow()); // a locked style ignores this
    EXPECT_EQ(originalStroke->shadow(), nullptr);
    original->setLocked(false);
    originalStroke->setShadow(VXStyle::defaultShadow());
    original->setLocked(true);

    const auto copy = std::static_pointer_cast<VXStyle>(original->copy());
    EXPECT_EQ(copy->uniqueKey(), original->uniqueKey());
    EXPECT_TRUE(copy->locked());
    EXPECT_FALSE(copy->isStyleRegistered());
    EXPECT_TRUE(copy->isEqualToStyle(original.get()));

    const VXStyle::SettingsScope restoreSettings;
    NumberingProvider provider;
    VXStyle::setNameProvider(&provider);
    const VXStylePtr mutableCopy = original->mutableCopy();
    EXPECT_EQ(mutableCopy->name(), "Coast 2");
    EXPECT_FALSE(mutableCopy->locked());
    EXPECT_EQ(mutableCopy->uniqueKey(), original->uniqueKey());
    VXStyle::disableNameProvider();
    const VXStylePtr clone = original->clone();
    VXStyle::enableNameProvider();
    EXPECT_EQ(clone->name(), "Coast");
    EXPECT_NE(clone->uniqueKey(), original->uniqueKey());

    // Editing the copy's shadow in place leaves the original's alone.
    const auto copiedStroke = mutableCopy->renderersOfClass<VXStroke>().first();
    ASSERT_NE(copiedStroke->shadow(), originalStroke->shadow());
    copiedStroke->shadow()->setBlurRadius(20);
    EXPECT_NE(originalStroke->shadow()->blurRadius(), 20);
    EXPECT_FALSE(mutableCopy->isEqualToStyle(original.get()));
    EXPECT_EQ(copiedStroke->container(), mutableCopy.get());
}

TEST(UniqueKeys, AreDistinctVersion4UUIDs)
{
    QSet<QString> keys;
    for (int i = 0; i < 10000; ++i) {
        const QUuid uuid = VXUniqueID::randomUuid();
        ASSERT_EQ(uuid.version(), QUuid::Random);
        ASSERT_EQ(uuid.variant(), QUuid::DCE);
        keys.insert(uuid.toString());
    }
    EXPECT_EQ(keys.size(), 10000);
    const QString key = VXUniqueID::uniqueKey();
    EXPECT_EQ(key, key.toUpper());
    EXPECT_FALSE(QUuid::fromString(key).isNull());
    EXPECT_NE(VXStyle().uniqueKey(), VXStyle().uniqueKey());
}
