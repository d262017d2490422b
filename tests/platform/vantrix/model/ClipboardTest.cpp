#include "platform/vantrix/view/ViewTestSupport.h"

#include "platform/foundation/ClassRegistry.h"
#include "platform/foundation/KeyChangeListeners.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/ResponderChain.h"
#include "platform/vantrix/drawables/VXShapeGroup.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QScopeGuard>

using viewtest::ViewFixture;

namespace {

using Objects = QList<VXDrawableObjectPtr>;

// A view on a layer holding two styled squares with metadata, nothing to undo.
struct ClipboardFixture : ViewFixture {
    VXDrawableObjectPtr red = square({10, 10}, Qt::red);
    VXDrawableObjectPtr blue = square({60, 20}, Qt::blue);

    ClipboardFixture()
    {
        red->setMetadataItemValueForKey(QStringLiteral("Harbour"), QStringLiteral("name"));
        blue->setMetadataItemValueForKey(42, QStringLiteral("depth"));
        layer->addObjectsFromArray({red, blue});
        forgetEdits();
    }
    static VXDrawableObjectPtr square(QPointF at, const QColor& fill)
    {
        auto style = VXStyle::styleWithFillColourStrokeColourStrokeWidth(fill, Qt::black, 2);
        return VXDrawableShape::drawableShapeWithRect(QRectF(at, QSizeF(30, 30)), style);
    }
    bool validates(const QByteArray& action)
    {
        platform::MenuItem item(QString(), action);
        return view.validateMenuItem(&item);
    }
    // Sends the action by name, as a menu item does, and ends the event's undo step.
    void perform(const char* action)
    {
        EXPECT_TRUE(platform::ResponderChain::performAction(&view, action, nullptr)) << action;
        endStep();
    }
};

// Equal in geometry, style colours and metadata.
void expectSameObject(const VXDrawableObject& a, const VXDrawableObject& b, QPointF offset = {})
{
    EXPECT_EQ(b.bounds(), a.bounds().translated(offset));
    ASSERT_TRUE(b.style());
    EXPECT_EQ(b.style()->fillColour(), a.style()->fillColour());
    EXPECT_EQ(b.style()->strokeColour(), a.style()->strokeColour());
    EXPECT_EQ(b.metadataKeys(), a.metadataKeys());
    for (const QString& key : a.metadataKeys())
        EXPECT_EQ(b.metadataValueForKey(key), a.metadataValueForKey(key)) << key.toStdString();
}

// Pasted objects are new objects: the same drawing must not hold two objects under one key.
void expectPastedFrom(const VXDrawableObject& original, const VXDrawableObject& pasted, QPointF offset = {})
{
    expectSameObject(original, pasted, offset);
    EXPECT_NE(pasted.uniqueKey(), original.uniqueKey());
}

TEST(Clipboard, PastesAreSelectedFreshCopiesInPlaceElsewhereAndSteppedAwayOverTheOriginals)
{
    ClipboardFixture f;
    f.layer->selectAll();
    f.perform("copy");
    EXPECT_FALSE(f.undo->canUndo()); // copying is no edit

    ViewFixture target;
    target.view.paste(nullptr);
    target.endStep();
    ASSERT_EQ(target.layer->countOfObjects(), 2);
    // Another drawing: no offset, stacking order kept.
    expectPastedFrom(*f.red, *target.layer->objects().at(0));
    expectPastedFrom(*f.blue, *target.layer->objects().at(1));
    EXPECT_EQ(target.layer->selection(), target.layer->objects());
    EXPECT_EQ(target.undo->undoActionName(), QStringLiteral("Paste"));
    target.undo->undo();
    EXPECT_EQ(target.layer->countOfObjects(), 0);
    EXPECT_EQ(target.layer->countOfSelection(), 0);

    f.layer->replaceSelectionWithObject(f.red);
    f.perform("copy");
    f.perform("paste");
    f.perform("paste");
    ASSERT_EQ(f.layer->countOfObjects(), 4);
    const double step = VXDrawingView::kPasteOffset;
    expectPastedFrom(*f.red, *f.layer->objects().at(2), {step, step});
    expectPastedFrom(*f.red, *f.layer->objects().at(3), {2 * step, 2 * step});
    EXPECT_NE(f.layer->objects().at(2)->uniqueKey(), f.layer->objects().at(3)->uniqueKey());
    EXPECT_EQ(f.layer->selection(), Objects{f.layer->objects().at(3)});
}

// Copies step clear of their originals before they join the drawing, where nothing can follow
// them: the listeners of every key change (the inspectors' watches of a selection) hear nothing
// of it, and a million pasted objects cost them nothing. What follows the paste is told.
TEST(Clipboard, CopiesSteppingClearOfTheirOriginalsAreToldToNoKeyListener)
{
    ClipboardFixture f;
    f.layer->selectAll();
    f.perform("copy");
    QList<std::pair<const ZQObject*, QString>> told;
    const quint64 listener = platform::KeyChangeListeners::add(
        [&](ZQObject& object, const QString& key, bool prior) {
            if (!prior)
                told.append({&object, key});
        });
    const auto removeListener = qScopeGuard([&] { platform::KeyChangeListeners::remove(listener); });
    f.perform("paste");
    ASSERT_EQ(f.layer->countOfObjects(), 4);
    const double step = VXDrawingView::kPasteOffset;
    expectPastedFrom(*f.red, *f.layer->objects().at(2), {step, step});
    expectPastedFrom(*f.blue, *f.layer->objects().at(3), {step, step});
    const auto toldOf = [&](const VXDrawableObjectPtr& object) {
        return std::count_if(told.cbegin(), told.cend(), [&](const auto& change) { return change.first == object.get(); });
    };
    EXPECT_EQ(toldOf(f.layer->objects().at(2)) + toldOf(f.layer->objects().at(3)), 0);

    const VXDrawableObjectPtr copy = f.layer->objects().at(3);
    copy->setLocation(copy->location() + QPointF(5, 0));
    EXPECT_GT(toldOf(copy), 0);
}

// A shape class that counts the shapes made, to see how many a paste decodes.
class CountedShape : public VXDrawableShape {
    Q_OBJECT

public:
    CountedShape() { ++made; }
    static inline int made = 0;
};

TEST(Clipboard, APasteMakesEachObjectOnceAndAGroupsMembersTakeKeysOfTheirOwn)
{
    ClipboardFixture f;
    f.layer->selectAll();
    f.perform("copy");
    platform::ClassRegistry::registerClass<CountedShape>();
    const auto noSubstitute = qScopeGuard([] { platform::ClassRegistry::setSubstituteClass("VXDrawableShape", {}); });
    platform::ClassRegistry::setSubstituteClass("VXDrawableShape", "CountedShape");
    CountedShape::made = 0;
    f.perform("paste");
    // Once decoded, not decoded and then copied: a million pasted objects are made once each.
    EXPECT_EQ(CountedShape::made, 2);
    ASSERT_EQ(f.layer->countOfObjects(), 4);
    EXPECT_TRUE(qobject_cast<CountedShape*>(f.layer->objects().at(3).get()));
    const double step = VXDrawingView::kPasteOffset;
    expectPastedFrom(*f.blue, *f.layer->objects().at(3), {step, step});

    const auto group = VXShapeGroup::groupWithObjects({ClipboardFixture::square({200, 10}, Qt::green),
                                                       ClipboardFixture::square({250, 10}, Qt::yellow)});
    f.layer->addObject(group);
    f.layer->replaceSelectionWithObject(group);
    f.perform("copy");
    f.perform("paste");
    const auto pasted = std::dynamic_pointer_cast<VXShapeGroup>(f.layer->objects().constLast());
    ASSERT_TRUE(pasted && pasted != group);
    ASSERT_EQ(pasted->groupObjects().size(), 2);
    for (qsizetype i = 0; i < 2; ++i) {
        EXPECT_NE(pasted->groupObjects()[i]->uniqueKey(), group->groupObjects()[i]->uniqueKey());
        EXPECT_EQ(pasted->groupObjects()[i]->style()->fillColour(), group->groupObjects()[i]->style()->fillColour());
    }
    f.undo->undo();
    EXPECT_EQ(f.layer->objects().constLast(), group);
    EXPECT_EQ(f.layer->selection(), Objects{group});
}

TEST(Clipboard, CutAndDeleteLeaveLockedObjectsAndUndoInOneStepWithTheSelection)
{
    for (const char* action : {"cut", "delete_"}) {
        SCOPED_TRACE(action);
        ClipboardFixture f;
        QGuiApplication::clipboard()->clear();
        f.layer->selectAll();
        f.red->setLocked(true); // stays behind, and off the clipboard
        f.forgetEdits();
        f.perform(action);
        EXPECT_EQ(f.layer->objects(), Objects{f.red});
        EXPECT_EQ(f.layer->selection(), Objects{f.red});
        EXPECT_EQ(f.undo->undoActionName(), action == QByteArray("cut") ? "Cut" : "Delete");

        f.undo->undo();
        EXPECT_EQ(f.layer->objects(), (Objects{f.red, f.blue}));
        EXPECT_EQ(f.layer->selection(), (Objects{f.red, f.blue}));
        EXPECT_FALSE(f.undo->canUndo());
        f.undo->redo();
        EXPECT_EQ(f.layer->objects(), Objects{f.red});

        // Only what was cut is on the clipboard.
        const Objects pasted = VXDrawableObject::nativeObjectsFromPasteboard(QGuiApplication::clipboard()->mimeData());
        ASSERT_EQ(pasted.size(), action == QByteArray("cut") ? 1 : 0);
        if (!pasted.isEmpty())
            expectSameObject(*f.blue, *pasted.first());
    }
}

TEST(Clipboard, LockedLayerAndDamagedDataPasteNothing)
{
    ClipboardFixture f;
    f.layer->selectAll();
    f.view.copy(nullptr);

    f.layer->setLocked(true);
    f.forgetEdits();
    EXPECT_FALSE(f.validates("paste"));
    for (const char* action : {"paste", "cut", "delete_"})
        f.perform(action);
    EXPECT_EQ(f.layer->countOfObjects(), 2);
    EXPECT_FALSE(f.undo->canUndo());
    f.layer->setLocked(false);
    f.forgetEdits();

    QByteArray archive = QGuiApplication::clipboard()->mimeData()->data(kVXDrawableObjectPasteboardType);
    for (const QByteArray& damaged :
         {archive.left(archive.size() / 2), QByteArray(64, '\x01'), QByteArray("not an archive"), QByteArray()}) {
        auto data = new QMimeData;
        data->setData(kVXDrawableObjectPasteboardType, damaged);
        QGuiApplication::clipboard()->setMimeData(data);
        f.view.paste(nullptr);
        f.endStep();
        EXPECT_EQ(f.layer->countOfObjects(), 2);
    }
    EXPECT_FALSE(f.undo->canUndo());
    EXPECT_TRUE(VXDrawableObject::nativeObjectsFromPasteboard(nullptr).isEmpty());
}

// Dropped objects are new ones: keys of their own, centred on the drop, one undo step.
TEST(Clipboard, DroppedObjectsAreNewOnesCentredOnTheDrop)
{
    ClipboardFixture f;
    QMimeData data;
    VXDrawableObject::writeObjectsToPasteboard({f.red, f.blue}, &data);
    ASSERT_TRUE(f.layer->performDragOperation({&data, {200, 200}, nullptr}));
    f.endStep();
    ASSERT_EQ(f.layer->countOfObjects(), 4);
    const Objects dropped = f.layer->objects().mid(2);
    EXPECT_EQ(f.layer->selection(), dropped);
    const QPointF shift = QPointF(200, 200) - (f.red->logicalBounds() | f.blue->logicalBounds()).center();
    expectSameObject(*f.red, *dropped[0], shift);
    expectSameObject(*f.blue, *dropped[1], shift);
    EXPECT_NE(dropped[0]->uniqueKey(), f.red->uniqueKey());
    EXPECT_NE(dropped[1]->uniqueKey(), f.blue->uniqueKey());
    EXPECT_NE(dropped[0]->uniqueKey(), dropped[1]->uniqueKey());
    f.undo->undo();
    EXPECT_EQ(f.layer->objects(), Objects({f.red, f.blue}));
}

TEST(Clipboard, CutAndPasteOfScatteredObjectsUndoAndRedoToTheExactOrder)
{
    ClipboardFixture f;
    Objects all{f.red, f.blue};
    for (int i = 2; i < 6; ++i)
        all.append(ClipboardFixture::square({10.0 + 40 * i, 80}, QColor::fromHsv(40 * i, 200, 200)));
    f.layer->addObjectsFromArray(all.mid(2));
    ASSERT_EQ(f.layer->objects(), all);
    const Objects cut{all[1], all[3], all[4]};
    const Objects kept{all[0], all[2], all[5]};
    f.layer->exchangeSelectionWithObjectsFromArray(cut);
    f.forgetEdits();

    f.perform("cut");
    EXPECT_EQ(f.layer->objects(), kept);
    f.perform("paste");
    ASSERT_EQ(f.layer->countOfObjects(), 6);
    const Objects pasted = f.layer->objects().mid(3);
    EXPECT_EQ(f.layer->objects().first(3), kept);
    EXPECT_EQ(f.layer->selection(), pasted);
    const double step = VXDrawingView::kPasteOffset;
    for (qsizetype i = 0; i < cut.size(); ++i)
        expectPastedFrom(*cut[i], *pasted[i], {step, step});

    f.undo->undo();
    EXPECT_EQ(f.layer->objects(), kept);
    f.undo->undo();
    EXPECT_EQ(f.layer->objects(), all);
    EXPECT_EQ(f.layer->selection(), cut);
    for (const VXDrawableObjectPtr& object : all)
        EXPECT_EQ(object->layer(), f.layer.get());
    f.undo->redo();
    EXPECT_EQ(f.layer->objects(), kept);
    EXPECT_EQ(all[3]->layer(), nullptr);
    f.undo->redo();
    EXPECT_EQ(f.layer->objects(), kept + pasted);
    EXPECT_EQ(f.layer->selection(), pasted);
}

// Each object's key is its own, so writing it looks for no equal one among those already
// written: that search was the larger part of copying or cutting a million objects. Two objects
// sharing a key (decoded twice from one clipboard) therefore write it twice, as two with keys
// of their own do, and read back with the keys they had.
TEST(Clipboard, ObjectKeysAreWrittenWithoutSearchingThoseAlreadyWritten)
{
    ClipboardFixture f;
    QMimeData original;
    VXDrawableObject::writeObjectsToPasteboard({f.red}, &original);
    const Objects first = VXDrawableObject::nativeObjectsFromPasteboard(&original);
    const Objects second = VXDrawableObject::nativeObjectsFromPasteboard(&original);
    ASSERT_EQ(first.size(), 1);
    ASSERT_EQ(second.size(), 1);
    ASSERT_EQ(second.first()->uniqueKey(), f.red->uniqueKey());
    const Objects renewed = VXDrawableObject::nativeObjectsFromPasteboard(&original, platform::KeyedUnarchiver::Origin::Anyone,
                                                                          VXDrawableObject::Identity::New);
    ASSERT_EQ(renewed.first()->uniqueKey().size(), f.red->uniqueKey().size());

    auto archived = [](const Objects& objects) {
        QMimeData data;
        VXDrawableObject::writeObjectsToPasteboard(objects, &data);
        return data.data(kVXDrawableObjectPasteboardType);
    };
    const QByteArray sharing = archived({first.first(), second.first()});
    EXPECT_EQ(sharing.size(), archived({first.first(), renewed.first()}).size());

    QMimeData data;
    data.setData(kVXDrawableObjectPasteboardType, sharing);
    const Objects back = VXDrawableObject::nativeObjectsFromPasteboard(&data);
    ASSERT_EQ(back.size(), 2);
    EXPECT_EQ(back[0]->uniqueKey(), f.red->uniqueKey());
    EXPECT_EQ(back[1]->uniqueKey(), f.red->uniqueKey());
    expectSameObject(*f.red, *back[1]);
}

TEST(Clipboard, ActionsAreFoundByNameAndValidateByWhatThereIsToActOn)
{
    ClipboardFixture f;
    QGuiApplication::clipboard()->clear();
    for (const char* action : {"copy", "cut", "delete_", "deselectAll", "paste"}) {
        EXPECT_TRUE(platform::ResponderChain::respondsToAction(&f.view, action)) << action;
        EXPECT_FALSE(f.validates(action)) << action;
    }
    EXPECT_TRUE(f.validates("selectAll"));

    f.perform("selectAll");
    EXPECT_EQ(f.layer->countOfSelection(), 2);
    for (const char* action : {"copy", "cut", "delete_", "deselectAll"})
        EXPECT_TRUE(f.validates(action)) << action;
    f.perform("copy");
    EXPECT_TRUE(f.validates("paste"));

    // Locked objects can be copied but not cut or deleted.
    f.red->setLocked(true);
    f.blue->setLocked(true);
    EXPECT_TRUE(f.validates("copy"));
    EXPECT_FALSE(f.validates("cut"));
    EXPECT_FALSE(f.validates("delete_"));

    f.perform("deselectAll");
    EXPECT_EQ(f.layer->countOfSelection(), 0);
    EXPECT_FALSE(f.validates("deselectAll"));
}

} // namespace

#include "ClipboardTest.moc"
