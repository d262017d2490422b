// Highlights of selected objects: however fast a view draws many of them, it shows exactly
// what drawing each one in turn shows.

#include "platform/vantrix/view/ViewTestSupport.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/vantrix/drawables/VXDrawablePath.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/drawables/VXImageShape.h"
#include "platform/vantrix/view/KnobStampBatch.h"
#include "platform/vantrix/view/VXKnob.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QPicture>
#include <QRandomGenerator>
#include <functional>

using namespace viewtest;

namespace {

// The selected states of `objects` drawn with `world` on a clear canvas of `size`, holding
// back knob stamps when `held`; `drawn` gets how many stamps the batch drew.
QImage highlights(const QList<VXDrawableObjectPtr>& objects, const QTransform& world, bool held,
                  qsizetype* drawn = nullptr, QSize size = {160, 120})
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setWorldTransform(world);
    const platform::GraphicsContext::Scope context(&painter);
    std::optional<platform::KnobStampBatch> stamps;
    if (held)
        stamps.emplace(painter);
    for (const VXDrawableObjectPtr& object : objects)
        object->drawSelectedState();
    if (stamps && drawn)
        *drawn = stamps->flush();
    return image;
}

struct Shown {
    QImage selected;   // every object of the layer selected
    QImage oneByOne;   // none selected, each object's highlights drawn over it in turn
    QImage unselected; // none selected
};

// What `f`'s view shows with its layer's objects selected or not, and with their highlights
// drawn one by one, their rotation knobs after all as the selection tool draws them.
Shown shownSelectedAndOneByOne(ViewFixture& f)
{
    f.layer->selectAll();
    f.view.finishRendering();
    const QImage selected = f.view.viewport()->grab().toImage();
    f.layer->deselectAll();
    f.view.finishRendering();
    const QImage unselected = f.view.viewport()->grab().toImage();
    const auto owner = std::make_unique<QObject>();
    f.view.setOverlay(owner.get(), [&](QPainter&, const QRectF&) {
        for (const VXDrawableObjectPtr& object : f.layer->objects())
            object->drawSelectedState();
        for (const VXDrawableObjectPtr& object : f.layer->objects())
            if (!object->locked())
                VXKnob::knobs().drawRotationKnobOnBox(platform::KnobBox::ofObject(*object), f.layer->selectionColour());
    });
    f.view.finishRendering();
    const QImage oneByOne = f.view.viewport()->grab().toImage();
    f.view.setOverlay(owner.get(), {});
    return {selected, oneByOne, unselected};
}

} // namespace

TEST(SelectionHighlight, AViewShowsExactlyWhatItsObjectsShowDrawnOneByOne)
{
    // Crowds of lines smaller than a pixel at many sub-pixel placements, pairs whose middles
    // share a pixel while their knobs round onto pixels apart, lines of a pixel or more,
    // overlapping, turned and locked shapes: at each zoom every knob drawn one by one shows.
    ViewFixture f({400, 300}, {240, 180});
    f.useTool(kVXStandardSelectionToolName);
    QRandomGenerator random(31);
    QList<VXDrawableObjectPtr> objects;
    for (int i = 0; i < 60; ++i) {
        const QPointF start(20 + 37 * (i % 10) + random.bounded(1.0), 20 + 41 * (i / 10) + random.bounded(1.0));
        for (int j = 0; j < 12; ++j)
            objects.append(lineFrom(start + QPointF(random.bounded(12.0), random.bounded(12.0)),
                                    {random.bounded(6.0) - 3, random.bounded(6.0) - 3}));
        objects.append(lineFrom(start, {0.5, 0.5}));
        objects.append(lineFrom(start + QPointF(0.6, 0.3), {0.5, 0.5}));
    }
    objects.append(VXDrawableShape::drawableShapeWithRect(QRectF(60, 50, 80, 60), nullptr));
    objects.append(VXDrawableShape::drawableShapeWithRect(QRectF(100, 80, 80, 60), nullptr));
    objects.last()->rotateByAngle(0.3);
    objects.append(lineFrom({200, 150}, {90, 40}));
    objects[3]->setLocked(true);
    f.layer->addObjectsFromArray(objects);
    for (const double scale : {0.05, 0.1, 0.137, 0.3, 1.3}) {
        f.view.setScale(scale);
        f.view.scrollDrawingPointToViewportPoint({200, 150}, {120.3, 90.6});
        const Shown shown = shownSelectedAndOneByOne(f);
        EXPECT_TRUE(shown.selected == shown.oneByOne) << "at scale " << scale;
        EXPECT_FALSE(shown.selected == shown.unselected) << "the highlights show at scale " << scale;
    }
}

TEST(SelectionHighlight, ACrowdOfObjectsOverTheWholeDeviceDrawsStampsByThePixelNotByTheObject)
{
    // Lines far smaller than a pixel over every pixel of a zoomed-out canvas and past it: the
    // stamps drawn grow with the pixels, not with the objects, and show what each drawn shows.
    const auto drawnFor = [](int lines) {
        QRandomGenerator random(7);
        QList<VXDrawableObjectPtr> objects;
        for (int i = 0; i < lines; ++i)
            objects.append(lineFrom({random.bounded(600.0) - 100, random.bounded(500.0) - 100}, {1, 1}));
        const QTransform out = QTransform::fromScale(0.1, 0.1);
        qsizetype drawn = 0;
        EXPECT_EQ(highlights(objects, out, true, &drawn, {40, 30}), highlights(objects, out, false, nullptr, {40, 30}))
            << lines;
        return drawn;
    };
    const qsizetype few = drawnFor(2000);
    const qsizetype many = drawnFor(16000);
    EXPECT_GT(few, 0) << "the highlights were drawn";
    EXPECT_LT(many, few * 3 / 2) << "drawn for 2000 lines: " << few << " stamps, for 16000: " << many;
}

TEST(SelectionHighlight, AnObjectSmallerThanAPixelDrawsOnlyTheKnobsThatShow)
{
    // Its outline lies under its knobs and its eight knobs land on one pixel: one stamp, and
    // the picture is the one that stamp makes.
    const auto recorded = [](const std::function<void()>& draw) {
        QPicture picture;
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        const platform::GraphicsContext::Scope context(&painter);
        draw();
        painter.end();
        return picture;
    };
    const VXDrawableObjectPtr tiny = lineFrom({40.2, 30.2}, {0.1, 0.1});
    const QPicture selected = recorded([&] { tiny->drawSelectedState(); });
    const QPicture knob = recorded([&] {
        VXKnob::knobs().drawKnobAtPointOfTypeAngleHighlightColour({40.2, 30.2}, kVXBoundingRectKnobType, 0, Qt::blue);
    });
    EXPECT_LE(selected.size(), knob.size() + 64) << "one knob and nothing else";

    const auto drawn = [](QPicture picture) {
        QImage image(80, 60, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        picture.play(&painter);
        return image;
    };
    const QPicture both = recorded([&] {
        tiny->drawSelectedState();
        const VXDrawableObjectPtr wider = lineFrom({40.2, 30.2}, {1.5, 0.1});
        wider->drawSelectedState();
    });
    EXPECT_EQ(drawn(selected), drawn(knob));
    EXPECT_NE(drawn(both), drawn(selected)) << "a line of a pixel or more keeps its outline and knobs";
}

TEST(SelectionHighlight, HoldingBackKnobStampsChangesNoPixel)
{
    // A crowd of lines smaller than a pixel, turned ones, a locked one and lines of a pixel or
    // more among them: outlines drawn between stamps keep their place.
    const auto crowd = [](int lines) {
        QRandomGenerator random(11);
        QList<VXDrawableObjectPtr> objects;
        for (int i = 0; i < lines; ++i) {
            objects.append(lineFrom({random.bounded(1600.0), random.bounded(1200.0)}, {4, 3}));
            if (i % 20 == 0)
                objects.append(lineFrom({random.bounded(1600.0), random.bounded(1200.0)}, {600, 250}));
            if (i % 50 == 0)
                objects.last()->rotateByAngle(0.4);
        }
        objects[7]->setLocked(true);
        return objects;
    };
    const QTransform out = QTransform::fromScale(0.1, 0.1);
    for (const int lines : {300, 3000}) {
        const QList<VXDrawableObjectPtr> objects = crowd(lines);
        EXPECT_EQ(highlights(objects, out, true), highlights(objects, out, false)) << lines;
    }
    const QList<VXDrawableObjectPtr> few = crowd(40);
    EXPECT_EQ(highlights(few, QTransform::fromScale(0.5, 0.5), true),
              highlights(few, QTransform::fromScale(0.5, 0.5), false));
}

TEST(SelectionHighlight, MarksAnObjectDrawsPastItsKnobsComeAfterTheKnobsHeldBefore)
{
    // An image being cropped shades itself over its knobs: the knobs of a tiny line selected
    // before it must lie under that shade, held back or not.
    QImage pixels(4, 4, QImage::Format_ARGB32);
    pixels.fill(Qt::darkGreen);
    const std::shared_ptr<VXImageShape> cropped = VXImageShape::imageShapeWithImageData(drawingtest::pngData(pixels));
    cropped->setSize(QSizeF(0.9, 0.9));
    cropped->setLocation(QPointF(40, 30));
    cropped->setImagePresentationMode(VXImageShape::kCropPresentation);
    cropped->setCropRect(QRectF(0, 0, 0.5, 0.5));
    const QList<VXDrawableObjectPtr> objects{lineFrom({40.2, 30.2}, {0.3, 0.3}), cropped};
    for (const QTransform& world : {QTransform(), QTransform::fromScale(2, 2)})
        EXPECT_EQ(highlights(objects, world, true), highlights(objects, world, false)) << world.m11();
}

TEST(SelectionHighlight, APaintFindsWhatALayerDrawsOnceForAllItsPasses)
{
    // The outlines and then the tool's knobs ask for the same objects of the same layer; a
    // later paint, or a question outside a paint, finds them afresh.
    ViewFixture f;
    const VXDrawableObjectPtr line = lineFrom({20, 20}, {30, 10});
    int found = 0;
    const auto find = [&] {
        ++found;
        return VXDrawingView::DrawnObjects{line.get()};
    };
    const QRectF area(0, 0, 100, 100);
    const int other = 0;
    QList<qsizetype> answers;
    const auto owner = std::make_unique<QObject>();
    f.view.setOverlay(owner.get(), [&](QPainter&, const QRectF&) {
        answers.append(f.view.objectsDrawnInPaint(f.layer.get(), area, find).size());
        answers.append(f.view.objectsDrawnInPaint(f.layer.get(), area, find).size());
        answers.append(f.view.objectsDrawnInPaint(&other, area, find).size());
        answers.append(f.view.objectsDrawnInPaint(f.layer.get(), area.adjusted(0, 0, 1, 0), find).size());
    });
    f.view.viewport()->grab();
    EXPECT_EQ(found, 3) << "once for each layer and rectangle";
    EXPECT_EQ(answers, QList<qsizetype>({1, 1, 1, 1}));
    f.view.viewport()->grab();
    EXPECT_EQ(found, 6) << "nothing is kept from one paint to the next";
    f.view.objectsDrawnInPaint(f.layer.get(), area, find);
    f.view.objectsDrawnInPaint(f.layer.get(), area, find);
    EXPECT_EQ(found, 8) << "nor outside a paint";
}

TEST(SelectionHighlight, AViewShowsASelectionAsItAlwaysHas)
{
    // Thousands of lines smaller than a pixel crowded and apart, longer lines, turned and
    // locked shapes, all selected under the selection tool, at three zooms: the pixels are
    // those the view showed before its selected objects were drawn any faster.
    ViewFixture f({1600, 1200}, {320, 200});
    f.useTool(kVXStandardSelectionToolName);
    QRandomGenerator random(23);
    QList<VXDrawableObjectPtr> objects;
    for (int i = 0; i < 4000; ++i) {
        const QPointF start = i % 3 ? QPointF(random.bounded(1600.0), random.bounded(1200.0))
                                    : QPointF(300 + random.bounded(80.0), 200 + random.bounded(60.0));
        objects.append(lineFrom(start, {4 - random.bounded(8.0), 3 - random.bounded(6.0)}));
        if (i % 100 == 0)
            objects.append(lineFrom(start, {150 - random.bounded(300.0), 90 - random.bounded(180.0)}));
        if (i % 400 == 0) {
            objects.append(VXDrawableShape::drawableShapeWithRect(QRectF(start, QSizeF(60, 40)), nullptr));
            objects.last()->rotateByAngle(i % 800 ? 0.5 : 0);
        }
    }
    objects[5]->setLocked(true);
    objects[7]->setLocked(true);
    f.layer->addObjectsFromArray(objects);
    // The colour the reference was drawn in: a new layer's depends on how many came before it.
    f.layer->setSelectionColour(QColor(0xe6, 0x33, 0x33));
    f.layer->selectAll();

    QImage shown(320, 600, QImage::Format_RGB32);
    shown.fill(Qt::black);
    QPainter painter(&shown);
    const std::array<std::pair<double, QPointF>, 3> views{{{0.12, {800, 600}}, {0.3, {340, 230}}, {1.3, {330, 220}}}};
    for (size_t i = 0; i < views.size(); ++i) {
        f.view.setScale(views[i].first);
        f.view.scrollDrawingPointToViewportPoint(views[i].second, {160, 100});
        f.view.finishRendering();
        painter.drawImage(QPoint(0, int(i) * 200), f.view.viewport()->grab().toImage());
    }
    painter.end();

    const QImage expected(testsupport::sampleDataPath(QStringLiteral("renderings/selection-highlights.png")));
    const bool same = shown == expected.convertToFormat(QImage::Format_RGB32);
    const QString actual = QDir::temp().filePath(QStringLiteral("selection-highlights-actual.png"));
    if (!same)
        shown.save(actual);
    EXPECT_TRUE(same) << "the view showed " << actual.toStdString();
}
