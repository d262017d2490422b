// Closing a map window gives back what the map held: after an import, its undo and the
// window closed as a user closes it, no imported object, style, layer or the document
// itself is still alive; and a large map gives it back over many turns, so that another
// window's events wait no more than a turn.

#include "support/MapWindowTesting.h"
#include "support/ShapefileBuilders.h"

#include "app/document/ZQTrueQuorvaneDocument.h"
#include "app/import/ShapefileImportHost.h"
#include "geodata/ShapefileImportServices.h"
#include "platform/foundation/GradualRelease.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/vantrix/drawables/VXDrawablePath.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectOwnerLayer.h"

#include <QFile>
#include <QTemporaryDir>
#include <QThreadPool>
#include <algorithm>
#include <cmath>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

constexpr int kLines = 2'000;

// Short lines spread evenly over a square, each with a name and a number.
QString writeLines(const QTemporaryDir& folder)
{
    shapefiletest::ShpBuilder shp;
    shapefiletest::DbfBuilder dbf({{"NAME", 'C', 12}, {"ID", 'N', 8}});
    shp.setBounds({0, 0, 100, 100});
    const int side = int(std::ceil(std::sqrt(kLines)));
    const double step = 96.0 / side;
    for (int i = 0; i < kLines; ++i) {
        const QPointF start(i % side * step, i / side * step);
        shp.addParts(3, {{start, start + QPointF(step / 2, step / 4), start + QPointF(step / 2, step / 2)}});
        dbf.addRow({"line " + QByteArray::number(i), QByteArray::number(i)});
    }
    const QString base = folder.filePath(QStringLiteral("lines"));
    for (const auto& [extension, bytes] : {std::pair{".shp", shp.bytes()}, std::pair{".dbf", dbf.bytes()}}) {
        QFile file(base + extension);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    }
    return base + QStringLiteral(".shp");
}

// Short lines with two attributes each, as a map opened from a file holds them.
QList<VXDrawableObjectPtr> attributedLines(int count)
{
    QList<VXDrawableObjectPtr> lines;
    lines.reserve(count);
    const int side = int(std::ceil(std::sqrt(count)));
    for (int i = 0; i < count; ++i) {
        const QPointF start(i % side * 4.0, i / side * 4.0);
        platform::BezierPath path;
        path.moveToPoint(start);
        path.lineToPoint(start + QPointF(2, 1));
        path.lineToPoint(start + QPointF(2, 2));
        VXDrawablePathPtr line = VXDrawablePath::drawablePathWithBezierPath(path);
        line->initMetadata({{QStringLiteral("name"), {kVXMetadataTypeString, QStringLiteral("line %1").arg(i)}},
                            {QStringLiteral("id"), {kVXMetadataTypeInteger, i}}});
        lines.append(line);
    }
    return lines;
}

// Freed small blocks the allocator keeps aside unmerged.
qint64 fastListBytes()
{
#if defined(__GLIBC__)
    return qint64(mallinfo2().fsmblks);
#else
    return 0;
#endif
}

// The timers on the real clock, as in the application, so one turn of the event loop is one turn.
struct RealClock {
    RealClock() { platform::RunLoop::setManualClock(false); }
    ~RealClock() { platform::RunLoop::setManualClock(true); }
};

template <class T>
int countAlive(const std::vector<std::weak_ptr<T>>& objects)
{
    return int(std::count_if(objects.begin(), objects.end(), [](const auto& object) { return !object.expired(); }));
}

class ClosingAMap : public testsupport::MapWindowTest {
protected:
    void SetUp() override
    {
        m_previous = geodata::ShapefileImportServices::install(std::make_shared<ShapefileImportHost>());
        MapWindowTest::SetUp();
    }
    void TearDown() override
    {
        MapWindowTest::TearDown();
        geodata::ShapefileImportServices::install(m_previous);
    }

private:
    std::shared_ptr<geodata::ShapefileImportServices> m_previous;
};

} // namespace

TEST_F(ClosingAMap, FreesEveryImportedObjectStyleAndLayer)
{
    QTemporaryDir folder;
    platform::MenuItem* undo = item(QStringLiteral("Edit"), QStringLiteral("Undo"));
    ASSERT_TRUE(undo);
    auto* map = qobject_cast<ZQTrueQuorvaneDocument*>(document);
    ASSERT_TRUE(map);
    const QString path = writeLines(folder);
    ASSERT_TRUE(map->importShapefileAtURL(QUrl::fromLocalFile(path)));
    for (int turn = 0; turn < 3; ++turn) {
        QThreadPool::globalInstance()->waitForDone();
        platform::RunLoop::runUntilIdle();
    }
    map->undoManager()->closeAutomaticGroup();
    const auto* layer = dynamic_cast<VXObjectOwnerLayer*>(map->activeLayer());
    ASSERT_TRUE(layer);
    ASSERT_EQ(layer->countOfObjects(), kLines);

    std::vector<std::weak_ptr<const ZQObject>> objects, styles, owners;
    for (const VXDrawableObjectPtr& object : layer->objects()) {
        objects.push_back(object);
        styles.push_back(object->style());
    }
    owners = {layer->weak_from_this(), map->drawing(), map->weak_from_this()};
    document->mainView()->viewport()->repaint(); // the view's caches hold them too

    ASSERT_TRUE(undo->validate());
    EXPECT_EQ(undo->title(), QStringLiteral("Undo Import Shapefile"));
    undo->trigger();
    platform::RunLoop::runUntilIdle();
    ASSERT_FALSE(map->isDocumentEdited());
    window->close();
    document = nullptr;
    platform::RunLoop::runFor(1000);

    EXPECT_TRUE(platform::DocumentController::sharedDocumentController()->documents().isEmpty());
    EXPECT_EQ(countAlive(objects), 0);
    EXPECT_EQ(countAlive(styles), 0);
    EXPECT_EQ(countAlive(owners), 0) << "layer, drawing, document";
}

// Counted rather than timed, as the turns it takes depend on the machine: a closed map's objects go
// a share per turn, never all in one, and each turn's frees are merged as it makes them, not left
// waiting in the allocator's lists of small blocks for the next large allocation (a paint's) to
// merge hundreds of thousands at once.
TEST_F(ClosingAMap, ALargeMapGoesAShareATurnWithItsFreesMergedInTheTurn)
{
    constexpr int kLargeMap = 300'000;
    VXObjectDrawingLayer* layer = objectLayer();
    ASSERT_TRUE(layer);
    document->undoManager()->disableUndoRegistration(); // opened, not drawn
    layer->addObjectsFromArray(attributedLines(kLargeMap));
    document->undoManager()->enableUndoRegistration();
    document->mainView()->viewport()->repaint();
    const std::weak_ptr<const ZQObject> drawing = document->drawing();
    std::vector<std::weak_ptr<const ZQObject>> lines;
    for (const VXDrawableObjectPtr& line : layer->objects())
        lines.push_back(line);

    const RealClock realClock;
    const qint64 waitingAtClose = fastListBytes();
    window->close();
    document = nullptr;
    std::vector<int> freedByTurn;
    qint64 mostWaitingToMerge = 0;
    int alive = kLargeMap;
    while ((alive > 0 || platform::GradualRelease::pendingCount() > 0) && freedByTurn.size() < 100'000) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
        const int stillAlive = countAlive(lines);
        freedByTurn.push_back(alive - stillAlive);
        alive = stillAlive;
        mostWaitingToMerge = std::max(mostWaitingToMerge, fastListBytes() - waitingAtClose);
    }
    EXPECT_TRUE(drawing.expired());
    EXPECT_EQ(countAlive(lines), 0);
    // A turn's few milliseconds free some tens of thousands of lines; freed with the map, all.
    EXPECT_LT(*std::max_element(freedByTurn.cbegin(), freedByTurn.cend()), kLargeMap / 2)
        << freedByTurn.size() << " turns";
    // What the turns' own events free waits there, some kilobytes; the lines, a hundred megabytes.
    EXPECT_LT(mostWaitingToMerge, 256 << 10) << "bytes more in the allocator's lists of small blocks";
}
