// The mapping layer: drawing passes, its rendering transform and flags, symbol sequences
// through archives and copies, library items applied by name as one undo step, scale bar
// insertion, and finding objects near a point.

#include "app/services/CasedDrawable.h"
#include "app/services/MappingLayerSequence.h"
#include "app/services/ObjectQuery.h"
#include "app/services/PickTargets.h"
#include "app/document/VXQMappingLayer.h"
#include "platform/foundation/ClassRegistry.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/MenuItem.h"
#include "platform/vantrix/DrawingTestSupport.h"
#include "platform/vantrix/render/RenderGate.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/view/VXDrawingView.h"
#include "platform/vantrix/drawables/VXShapeGroup.h"
#include "support/ArchiveTesting.h"

#include <QDeadlineTimer>
#include <QPainter>
#include <QThread>
#include <cmath>
#include <QPointer>
#include <gtest/gtest.h>
#include <atomic>
#include <thread>

namespace {

QStringList& passLog()
{
    static QStringList log;
    return log;
}

// Records which pass reached it instead of painting.
class RecordingShape : public VXDrawableShape {
    Q_OBJECT

public:
    QString tag;

    void drawContent() const override { passLog().append(QStringLiteral("content ") + tag); }
    void drawTextLabelsInView(VXDrawingView*) const override { passLog().append(QStringLiteral("labels ") + tag); }
    void drawSelectedState() const override { passLog().append(QStringLiteral("selection ") + tag); }
};

class RecordingTrack : public RecordingShape, public CasedDrawable {
    Q_OBJECT

public:
    void drawContent() const override { passLog().append(QStringLiteral("cased content ") + tag); }
    void drawCasing() const override { passLog().append(QStringLiteral("casing ") + tag); }
    void drawContentWithoutCasing() const override { passLog().append(QStringLiteral("content ") + tag); }
};

// A track whose casing holds its thread until the main thread takes the drawings back.
class StallingTrack : public RecordingTrack {
    Q_OBJECT

public:
    inline static std::atomic<bool> stalled{false};

    void drawCasing() const override
    {
        RecordingTrack::drawCasing();
        stalled = true;
        QDeadlineTimer patience(5000);
        while (!platform::RenderGate::isBeingReclaimed() && !patience.hasExpired())
            QThread::msleep(1);
    }
};

// An undoable setter, as the real classes have.
template <class T>
void setUndoably(ZQObject& owner, ZQUndoManager* undo, T& field, const T& value, std::function<void(T)> setter)
{
    if (undo)
        undo->registerUndoWithTargetHandler(&owner, [setter, old = field] { setter(old); });
    field = value;
}

} // namespace

// Stand-ins for the classes of later subsystems, which the layer finds by class name.
class VXQSymbolMaster : public ZQObject {
    Q_OBJECT
};

class VXQSymbol : public VXDrawableShape, public SymbolMasterTarget {
    Q_OBJECT

public:
    ZQObjectPtr master;
    void applySymbolMaster(const ZQObjectPtr& value) override
    {
        setUndoably<ZQObjectPtr>(*this, undoManager(), master, value, [this](ZQObjectPtr old) { applySymbolMaster(old); });
    }
};

class VXQStyledPath : public VXDrawableShape, public AuxiliaryStyleTarget {
    Q_OBJECT

public:
    QVariant auxiliaryStyle;
    void setAuxiliaryStyle(const QVariant& value) override
    {
        setUndoably<QVariant>(*this, undoManager(), auxiliaryStyle, value,
                              [this](QVariant old) { setAuxiliaryStyle(old); });
    }
};

class VXQScaleBarShape : public VXDrawableShape {
    Q_OBJECT
};

class VXQSymbolSequence : public ZQObject, public MappingLayerSequence {
    Q_OBJECT

public:
    qint64 start = 1;
    QPointer<QObject> layer;
    void setLayer(QObject* holder) override { layer = holder; }
    void adoptMasterFrom(QObject*) override {}
    void encodeWithCoder(platform::KeyedArchiver& coder) const override { coder.encodeInt(start, "start"); }
    void initWithCoder(platform::KeyedUnarchiver& coder) override { start = coder.decodeInt("start"); }
};

namespace {

template <class T>
std::shared_ptr<T> make(const QRectF& rect, const QString& tag = {})
{
    auto object = std::make_shared<T>();
    object->adoptPathFromDrawing(platform::BezierPath::bezierPathWithRect(rect));
    if constexpr (std::is_base_of_v<RecordingShape, T>)
        object->tag = tag;
    return object;
}

std::shared_ptr<VXQSymbolSequence> sequenceStartingAt(qint64 start)
{
    auto sequence = std::make_shared<VXQSymbolSequence>();
    sequence->start = start;
    return sequence;
}

struct MapFixture {
    std::unique_ptr<ZQUndoManager> undo = std::make_unique<ZQUndoManager>();
    VXDrawingPtr drawing = VXDrawing::drawingWithSize({200, 200});
    VXQMappingLayerPtr layer = std::make_shared<VXQMappingLayer>();

    MapFixture()
    {
        platform::ClassRegistry::registerClass<VXQSymbolSequence>();
        drawing->setUndoManager(undo.get());
        drawing->addLayer(layer);
    }
    template <class T>
    std::shared_ptr<T> add(const QRectF& rect, const QString& tag = {})
    {
        auto object = make<T>(rect, tag);
        layer->addObject(object);
        return object;
    }
    // Ends the set-up; what follows is the edit under test.
    void startEditing()
    {
        undo->closeAutomaticGroup();
        undo->removeAllActions();
    }
    // The entries `draw` logs inside a drawing pass.
    QStringList pass(const std::function<void()>& draw)
    {
        QImage image(200, 200, QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&image);
        const platform::GraphicsContext::Scope scope(&painter);
        passLog().clear();
        draw();
        return passLog();
    }
};

QStringList entries(const char* list)
{
    return QString::fromLatin1(list).split(QLatin1Char(','));
}

} // namespace

TEST(MappingLayer, DrawingPassesKeepCasingsLabelsAndSelectionInTheirPlace)
{
    MapFixture f;
    f.add<RecordingTrack>({10, 10, 20, 20}, "A");
    auto b = f.add<RecordingShape>({40, 10, 20, 20}, "B");
    auto c = f.add<RecordingTrack>({70, 10, 20, 20}, "C");
    f.add<RecordingShape>({150, 150, 20, 20}, "outside");
    f.add<RecordingTrack>({10, 40, 20, 20}, "hidden")->setVisible(false);
    f.layer->exchangeSelectionWithObjectsFromArray({b, c});
    f.layer->addObjectPendingCreation(make<RecordingTrack>({10, 70, 20, 20}, "P"));
    const QRectF rect(0, 0, 100, 100);

    EXPECT_EQ(f.pass([&] { f.layer->drawRectInViewShowingHighlighting(rect, nullptr, true); }),
              entries("casing A,casing C,content A,content B,content C,labels A,labels B,labels C,"
                      "selection B,selection C,cased content P,labels P"));
    EXPECT_EQ(f.pass([&] { f.layer->drawSelectedObjectsInRectInView(rect, nullptr); }),
              entries("content B,labels B,cased content C,labels C"));
    f.layer->removePendingObject();
    f.layer->setModernTrackRendering(false);
    EXPECT_EQ(f.pass([&] { f.layer->drawRectInViewShowingHighlighting(rect, nullptr, false); }),
              entries("cased content A,content B,cased content C,labels A,labels B,labels C"));
}

TEST(MappingLayer, ABackgroundRenderingStopsBetweenCasingsWhenTheDrawingsAreTakenBack)
{
    MapFixture f;
    f.add<StallingTrack>({10, 10, 20, 20}, "A");
    f.add<RecordingTrack>({40, 10, 20, 20}, "B");
    StallingTrack::stalled = false;
    platform::RenderGate& gate = platform::RenderGate::instance();
    QStringList drawn;
    std::thread rendering([&] {
        while (!gate.tryEnter())
            QThread::msleep(1);
        drawn = f.pass([&] { f.layer->drawRectInViewShowingHighlighting({0, 0, 100, 100}, nullptr, false); });
        gate.leave();
    });
    gate.waitLending([] {
        while (!StallingTrack::stalled)
            QThread::msleep(1);
    });
    rendering.join();
    EXPECT_EQ(drawn, entries("casing A"));
}

TEST(MappingLayer, ClippingToTheBorderKeepsTheMarginsClear)
{
    MapFixture f;
    f.drawing->setMarginsLeftTopRightBottom(20, 20, 20, 20);
    f.add<VXDrawableShape>({0, 0, 200, 200})->setStyle(drawingtest::fillStyle(Qt::red));
    const auto render = [&] {
        QImage image(200, 200, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        platform::DrawingRenderer::Options options;
        options.drawPaper = false;
        platform::DrawingRenderer::drawDrawing(*f.drawing, painter, f.drawing->bounds(), options);
        return image;
    };
    EXPECT_EQ(render().pixelColor(5, 5), QColor(Qt::red));
    f.layer->setClipsToBorder(true);
    const QImage clipped = render();
    EXPECT_EQ(clipped.pixelColor(5, 5).alpha(), 0);
    EXPECT_EQ(clipped.pixelColor(195, 100).alpha(), 0);
    EXPECT_EQ(clipped.pixelColor(100, 100), QColor(Qt::red));
}

TEST(MappingLayer, LivePartsAreClippedToTheBorderAndFadedWithTheLayer)
{
    MapFixture f;
    f.drawing->setMarginsLeftTopRightBottom(20, 20, 20, 20);
    auto pending = make<VXDrawableShape>({0, 0, 200, 200});
    pending->setStyle(drawingtest::fillStyle(Qt::red));
    f.layer->addObjectPendingCreation(pending);
    const auto renderLive = [&] {
        QImage image(200, 200, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        const platform::GraphicsContext::Scope scope(&painter);
        platform::DrawingRenderer::drawLiveParts(*f.drawing, f.drawing->bounds(), nullptr);
        return image;
    };
    EXPECT_EQ(renderLive().pixelColor(5, 5), QColor(Qt::red));
    f.layer->setClipsToBorder(true);
    EXPECT_EQ(renderLive().pixelColor(5, 5).alpha(), 0);
    f.layer->setAlpha(0.5);
    const QImage faded = renderLive();
    EXPECT_NEAR(faded.pixelColor(100, 100).alpha(), 128, 2);
    EXPECT_EQ(faded.pixelColor(5, 5).alpha(), 0);
}

TEST(MappingLayer, RenderingTransformScalesThenOffsetsAndChangesUndo)
{
    MapFixture f;
    EXPECT_TRUE(f.layer->renderingTransform().isIdentity());
    f.layer->setRenderingScale(2.5);
    f.layer->setRenderingOffset({10, -4});
    f.layer->setModernTrackRendering(false);
    EXPECT_EQ(f.layer->renderingTransform().map(QPointF(4, 2)), QPointF(20, 1));
    for (double unusable : {0.0, -1.0, std::nan(""), HUGE_VAL})
        f.layer->setRenderingScale(unusable);
    f.layer->setRenderingOffset({std::nan(""), 3});
    EXPECT_EQ(f.layer->renderingScale(), 2.5);
    EXPECT_EQ(f.layer->renderingOffset(), QPointF(10, -4));

    f.undo->closeAutomaticGroup();
    f.undo->undo();
    EXPECT_TRUE(f.layer->renderingTransform().isIdentity());
    EXPECT_TRUE(f.layer->modernTrackRendering());
    f.undo->redo();
    EXPECT_EQ(f.layer->renderingTransform().map(QPointF(4, 2)), QPointF(20, 1));
}

TEST(MappingLayer, FieldsAndSequencesSurviveArchivesAndCopies)
{
    MapFixture f;
    f.layer->setLayerName(QStringLiteral("Roads"));
    f.layer->setRenderingScale(0.75);
    f.layer->setRenderingOffset({12.5, -3});
    f.layer->setClipsToBorder(true);
    f.layer->setModernTrackRendering(false);
    f.layer->setSequences({{QStringLiteral("master-1"), sequenceStartingAt(7)},
                           {QStringLiteral("master-2"), sequenceStartingAt(40)},
                           {QStringLiteral("gone"), nullptr}});
    f.layer->setSequenceForKey(sequenceStartingAt(9), QStringLiteral("removed"));
    f.layer->setSequenceForKey(nullptr, QStringLiteral("removed"));
    // Only sequences come back from an archive.
    f.layer->setSequenceForKey(make<VXDrawableShape>({0, 0, 1, 1}), QStringLiteral("not a sequence"));
    f.add<VXDrawableShape>({1, 2, 3, 4});

    const auto expectSameFields = [&](const VXQMappingLayer& other) {
        EXPECT_EQ(other.renderingScale(), 0.75);
        EXPECT_EQ(other.renderingOffset(), QPointF(12.5, -3));
        EXPECT_TRUE(other.clipsToBorder());
        EXPECT_FALSE(other.modernTrackRendering());
        EXPECT_EQ(other.countOfObjects(), 1);
        ASSERT_EQ(other.sequences().keys(), QStringList({"master-1", "master-2"}));
        for (const QString& key : other.sequences().keys()) {
            const auto copy = std::dynamic_pointer_cast<VXQSymbolSequence>(other.sequenceForKey(key));
            const auto original = std::dynamic_pointer_cast<VXQSymbolSequence>(f.layer->sequenceForKey(key));
            ASSERT_TRUE(copy);
            EXPECT_NE(copy, original);
            EXPECT_EQ(copy->start, original->start);
            EXPECT_EQ(copy->layer, &other) << "each sequence is handed its layer";
        }
    };
    const auto decoded = testsupport::roundTrip<VXQMappingLayer>(*f.layer);
    ASSERT_TRUE(decoded);
    expectSameFields(*decoded);
    const auto duplicate = std::dynamic_pointer_cast<VXQMappingLayer>(f.layer->duplicateLayer());
    ASSERT_TRUE(duplicate);
    EXPECT_EQ(duplicate->layerName(), QStringLiteral("Roads copy"));
    expectSameFields(*duplicate);

    // Sequences replaced, or outliving their layer, keep no reference to it.
    const auto first = std::dynamic_pointer_cast<VXQSymbolSequence>(f.layer->sequenceForKey(QStringLiteral("master-1")));
    const auto kept = std::dynamic_pointer_cast<VXQSymbolSequence>(duplicate->sequenceForKey(QStringLiteral("master-1")));
    f.layer->setSequences({});
    EXPECT_EQ(first->layer, nullptr);
    duplicate->setSequences({{QStringLiteral("master-1"), kept}});
    EXPECT_EQ(kept->layer, duplicate.get());
}

TEST(MappingLayer, DamagedArchiveValuesFallBackToDefaults)
{
    testsupport::ArchiveStub stub;
    const auto decode = [&] {
        return std::dynamic_pointer_cast<VXQMappingLayer>(
            platform::KeyedUnarchiver::unarchiveObjectWithData(stub.archiveAs(QStringLiteral("VXQMappingLayer"))));
    };
    stub.values = {{QStringLiteral("VXQMappingLayer_renderingScale"), -2.0},
                   {QStringLiteral("VXQMappingLayer_renderingOffset"), 17},
                   {QStringLiteral("VXQMappingLayer_clipsToBorder"), QStringLiteral("yes")},
                   {QStringLiteral("VXQMappingLayer_modernTrackRendering"), QStringLiteral("no")}};
    stub.objects = {{QStringLiteral("VXQMappingLayer_sequences"), sequenceStartingAt(3)}};
    auto layer = decode();
    ASSERT_TRUE(layer);
    EXPECT_TRUE(layer->renderingTransform().isIdentity());
    EXPECT_FALSE(layer->clipsToBorder());
    EXPECT_TRUE(layer->modernTrackRendering());
    EXPECT_TRUE(layer->sequences().isEmpty());

    stub.values = {{QStringLiteral("VXQMappingLayer_renderingScale"), std::nan("")}};
    stub.objects.clear();
    layer = decode();
    ASSERT_TRUE(layer);
    EXPECT_EQ(layer->renderingScale(), 1.0);
}

TEST(MappingLayer, SymbolsAndAuxiliaryStylesGoToTheSelectionAsOneUndoStepEach)
{
    MapFixture f;
    auto first = f.add<VXQSymbol>({0, 0, 5, 5});
    auto locked = f.add<VXQSymbol>({20, 0, 5, 5});
    locked->setLocked(true);
    auto plain = f.add<VXDrawableShape>({30, 0, 5, 5});
    auto styled = f.add<VXQStyledPath>({40, 0, 5, 5});
    auto unselected = f.add<VXQStyledPath>({50, 0, 5, 5});
    // The symbols of nested groups count too.
    auto second = make<VXQSymbol>({10, 0, 5, 5});
    auto deep = make<VXQSymbol>({30, 0, 5, 5});
    auto inner = VXShapeGroup::groupWithObjects({deep, make<VXDrawableShape>({40, 0, 5, 5})});
    auto group = VXShapeGroup::groupWithObjects({second, inner});
    f.layer->addObject(group);
    EXPECT_EQ(f.layer->allSymbols(), QList<VXDrawableObjectPtr>({first, locked, second, deep}));

    auto master = std::make_shared<VXQSymbolMaster>();
    platform::MenuItem item, empty, notAMaster;
    item.setRepresentedObject(QVariant::fromValue(ZQObjectPtr(master)));
    notAMaster.setRepresentedObject(QVariant::fromValue(ZQObjectPtr(make<VXDrawableShape>({0, 0, 1, 1}))));
    f.startEditing();
    f.layer->applySymbol(&item); // nothing selected yet
    f.layer->exchangeSelectionWithObjectsFromArray({first, locked, plain, styled, group});
    for (QObject* sender : std::initializer_list<QObject*>{nullptr, &empty, &notAMaster})
        f.layer->applySymbol(sender);
    f.undo->closeAutomaticGroup();
    EXPECT_FALSE(first->master);
    EXPECT_FALSE(f.undo->canUndo());

    f.layer->applySymbol(&item);
    f.undo->closeAutomaticGroup();
    EXPECT_EQ(first->master, master);
    EXPECT_FALSE(locked->master);
    EXPECT_EQ(f.undo->undoActionName(), QStringLiteral("Apply Symbol"));
    f.undo->undo();
    EXPECT_FALSE(first->master);
    EXPECT_FALSE(f.undo->canUndo());
    f.undo->redo();
    EXPECT_EQ(first->master, master);

    const VXStylePtr style = drawingtest::fillStyle(Qt::blue);
    f.startEditing();
    ASSERT_TRUE(f.layer->respondsToSelector("setAuxiliaryStyle"));
    f.layer->performSelector("setAuxiliaryStyle", {QVariant::fromValue(style)});
    f.undo->closeAutomaticGroup();
    EXPECT_EQ(styled->auxiliaryStyle.value<VXStylePtr>(), style);
    EXPECT_FALSE(unselected->auxiliaryStyle.isValid());
    EXPECT_EQ(f.undo->undoActionName(), QStringLiteral("Apply Style"));
    f.undo->undo();
    EXPECT_FALSE(styled->auxiliaryStyle.isValid());
    EXPECT_FALSE(f.undo->canUndo());
}

TEST(MappingLayer, ScaleBarGoesToTheViewCentreSelectedAsOneUndoStep)
{
    MapFixture f;
    f.drawing->setMarginsLeftTopRightBottom(20, 40, 20, 0);
    auto other = f.add<VXDrawableShape>({0, 0, 5, 5});
    f.layer->replaceSelectionWithObject(other);
    f.startEditing();

    platform::ClassRegistry::registerFactory(&VXQScaleBarShape::staticMetaObject, [] { return nullptr; });
    EXPECT_FALSE(f.layer->insertScaleBarInView(nullptr));
    EXPECT_FALSE(f.undo->canUndo());

    platform::ClassRegistry::registerClass<VXQScaleBarShape>();
    const VXDrawableObjectPtr bar = f.layer->insertScaleBarInView(nullptr);
    ASSERT_TRUE(qobject_cast<VXQScaleBarShape*>(bar.get()));
    f.undo->closeAutomaticGroup();
    EXPECT_EQ(bar->location(), QPointF(100, 120)); // the interior's centre
    EXPECT_EQ(f.layer->selection(), QList<VXDrawableObjectPtr>{bar});
    EXPECT_EQ(f.undo->undoActionName(), QStringLiteral("Insert Scale Bar"));
    f.undo->undo();
    EXPECT_EQ(f.layer->countOfObjects(), 1);
    EXPECT_EQ(f.layer->selection(), QList<VXDrawableObjectPtr>{other});
    EXPECT_FALSE(f.undo->canUndo());
    f.undo->redo();
    EXPECT_EQ(f.layer->selection(), QList<VXDrawableObjectPtr>{bar});

    VXDrawingView view;
    view.resize(60, 60);
    view.setDrawing(f.drawing);
    const QPointF centre = view.visibleDrawingRect().center();
    ASSERT_NE(centre, f.drawing->interior().center());
    EXPECT_EQ(f.layer->insertScaleBarInView(&view)->location(), centre);
}

namespace {

// Matches objects whose left edge lies at or beyond a limit.
class RightOfQuery : public ObjectQuery {
public:
    explicit RightOfQuery(double limit) : m_limit(limit) {}
    mutable int calls = 0;

    QList<VXDrawableObjectPtr> findAllMatchingObjectsIn(const QList<VXDrawableObjectPtr>& objects) const override
    {
        ++calls;
        QList<VXDrawableObjectPtr> matching = objects;
        matching.removeIf([&](const VXDrawableObjectPtr& object) { return object->bounds().left() < m_limit; });
        return matching;
    }

private:
    double m_limit;
};

} // namespace

TEST(MappingLayer, ObjectsWithinRadiusInStackingOrderSkippingHiddenOnes)
{
    MapFixture f;
    auto lower = f.add<VXDrawableShape>({40, 40, 8, 8});
    auto upper = f.add<VXDrawableShape>({50, 50, 20, 20});
    f.layer->moveObjectToIndex(upper.get(), 0); // stacking order, not the order of adding
    f.add<VXDrawableShape>({45, 45, 10, 10})->setVisible(false);
    f.add<VXDrawableShape>({120, 120, 10, 10});
    for (const auto& object : f.layer->objects())
        object->setStyle(drawingtest::fillStyle(Qt::black));

    const QList<VXDrawableObjectPtr> near = f.layer->objectsWithinRadiusOfPoint(3.0f, {49, 49});
    EXPECT_EQ(near, QList<VXDrawableObjectPtr>({upper, lower}));
    EXPECT_TRUE(f.layer->objectsWithinRadiusOfPoint(3.0f, {100, 100}).isEmpty());
    EXPECT_EQ(f.layer->objectsWithinRadiusOfPointMatchingQuery(3.0f, {49, 49}, nullptr), near);
    const RightOfQuery query(45);
    EXPECT_EQ(f.layer->objectsWithinRadiusOfPointMatchingQuery(3.0f, {49, 49}, &query),
              QList<VXDrawableObjectPtr>{upper});
    EXPECT_TRUE(f.layer->objectsWithinRadiusOfPointMatchingQuery(3.0f, {100, 100}, &query).isEmpty());
    EXPECT_EQ(query.calls, 1);
}

#include "MappingLayerTest.moc"
