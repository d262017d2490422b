#include "platform/vantrix/DrawingTestSupport.h"
#include "platform/vantrix/view/ViewTestSupport.h"

#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/drawables/VXImageShape.h"
#include "platform/vantrix/drawables/VXShapeGroup.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QMimeData>
#include <QTemporaryDir>

namespace {

// A user unit of the content is one point.
QByteArray svg(double width, double height, const QByteArray& content)
{
    const QByteArray w = QByteArray::number(width);
    const QByteArray h = QByteArray::number(height);
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + w + "pt\" height=\"" + h + "pt\" viewBox=\"0 0 " + w
           + " " + h + "\">" + content + "</svg>";
}

QByteArray rect(double width, double height)
{
    return "<rect x=\"0\" y=\"0\" width=\"" + QByteArray::number(width) + "\" height=\""
           + QByteArray::number(height) + "\" fill=\"#ff0000\"/>";
}

QString writeFile(const QTemporaryDir& folder, const QString& name, const QByteArray& content)
{
    const QString path = folder.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
    return path;
}

// A 200 x 200 drawing with one selected square, and a folder for the dropped files.
struct DropFixture : drawingtest::Fixture {
    DropFixture()
        : square(VXDrawableShape::drawableShapeWithRect({10, 10, 20, 20}, drawingtest::fillStyle(Qt::blue)))
    {
        layer->addObject(square);
        layer->replaceSelectionWithObject(square);
        endStep();
        undo->removeAllActions();
    }

    QString write(const QString& name, const QByteArray& content) { return writeFile(folder, name, content); }

    // Drops the files at the point as the view hands them over; answers whether the layer took them.
    bool drop(const QStringList& paths, QPointF at = {100, 100})
    {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& path : paths)
            urls.append(QUrl::fromLocalFile(path));
        data.setUrls(urls);
        const bool taken = layer->performDragOperation({&data, at, nullptr});
        endStep();
        return taken;
    }

    VXDrawableObjectPtr dropped() const { return layer->objectInObjectsAtIndex(layer->countOfObjects() - 1); }

    VXDrawableObjectPtr square;
    QTemporaryDir folder;
};

void expectSizeNear(QSizeF actual, QSizeF expected)
{
    EXPECT_NEAR(actual.width(), expected.width(), 1e-6);
    EXPECT_NEAR(actual.height(), expected.height(), 1e-6);
}

TEST(SVGDrop, OneElementArrivesAsItselfSeveralGroupedAtTheDropPointSelectedInOneUndoStep)
{
    DropFixture f;
    ASSERT_TRUE(f.drop({f.write("one.svg", svg(100, 50, rect(100, 50)))}, {120, 80}));
    ASSERT_EQ(f.layer->countOfObjects(), 2);
    const VXDrawableObjectPtr object = f.dropped();
    EXPECT_EQ(dynamic_cast<VXShapeGroup*>(object.get()), nullptr);
    expectSizeNear(object->size(), {100, 50});
    EXPECT_EQ(object->location(), QPointF(120, 80));
    EXPECT_EQ(f.layer->selection(), QList<VXDrawableObjectPtr>{object});
    EXPECT_EQ(f.undo->numberOfUndoActions(), 1);
    EXPECT_EQ(f.undo->undoActionName(), "Drop SVG Graphic");
    f.undo->undo();
    EXPECT_EQ(f.layer->objects(), QList<VXDrawableObjectPtr>{f.square});
    EXPECT_EQ(f.layer->selection(), QList<VXDrawableObjectPtr>{f.square});
    f.undo->redo();
    EXPECT_EQ(f.layer->objects(), (QList<VXDrawableObjectPtr>{f.square, object}));
    EXPECT_EQ(f.layer->selection(), QList<VXDrawableObjectPtr>{object});

    const QByteArray two = rect(40, 20) + "<circle cx=\"70\" cy=\"30\" r=\"10\" fill=\"#00ff00\"/>";
    ASSERT_TRUE(f.drop({f.write("two.svg", svg(100, 50, two))}));
    const auto* group = dynamic_cast<VXShapeGroup*>(f.dropped().get());
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->groupObjects().size(), 2);
    expectSizeNear(group->size(), {80, 40});
    EXPECT_EQ(group->location(), QPointF(100, 100));
}

TEST(SVGDrop, OversizedGraphicsAreHalvedUntilTheyFitUpToALimitSparingFlatObjects)
{
    struct Case {
        QSizeF svgSize;
        QSizeF arrives;
    };
    const Case cases[] = {
        {{400, 100}, {200, 50}},    // twice as wide: half size (equal to the drawing fits)
        {{600, 100}, {150, 25}},    // three times as wide: a quarter
        {{100, 401}, {25, 100.25}}, // just over twice as tall: a quarter
        {{200, 200}, {200, 200}},   // exactly the drawing: unchanged
    };
    DropFixture f;
    for (const Case& c : cases) {
        const QSizeF& s = c.svgSize;
        ASSERT_TRUE(f.drop({f.write("big.svg", svg(s.width(), s.height(), rect(s.width(), s.height())))}));
        expectSizeNear(f.dropped()->size(), c.arrives);
    }
    // 1e25 points would take some 75 halvings: refused rather than shrunk to a speck.
    EXPECT_FALSE(f.drop({f.write("huge.svg", svg(100, 100, rect(1e25, 10)))}));
    ASSERT_TRUE(f.drop({f.write("large.svg", svg(100, 100, rect(1e15, 1e15)))}));
    const double side = f.dropped()->size().width();
    EXPECT_GT(side, 100);
    EXPECT_LE(side, 200);
    // A horizontal line has no height; it arrives as it is.
    const QByteArray line = "<line x1=\"0\" y1=\"5\" x2=\"100\" y2=\"5\" stroke=\"#000000\"/>";
    ASSERT_TRUE(f.drop({f.write("line.svg", svg(100, 100, line))}));
    expectSizeNear(f.dropped()->size(), {100, 0});
    EXPECT_EQ(f.layer->countOfObjects(), 1 + 4 + 2);
}

namespace {

// The alerts on screen, closed once read.
QStringList takeAlerts()
{
    QStringList texts;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        if (!box || !box->isVisible())
            continue;
        texts << box->text() + " | " + box->informativeText();
        box->done(0);
    }
    return texts;
}

} // namespace

TEST(SVGDrop, WhatWasLeftOutIsToldOnceAfterTheRestArrives)
{
    DropFixture f;
    takeAlerts();
    const QByteArray gaps = rect(40, 20) + "<image x='0' y='0' width='10' height='10' href='gone.png'/>"
                            + "<image x='20' y='0' width='10' height='10' href='lost.png'/>"
                            + "<foreignObject width='5' height='5'/><foreignObject width='6' height='5'/>"
                            + "<image x='0' y='20' width='10' height='10' href='data:image/png;base64,AAAA'/>";
    ASSERT_TRUE(f.drop({f.write("gaps.svg", svg(100, 50, gaps))}));
    EXPECT_EQ(f.layer->countOfObjects(), 2);
    const QStringList alerts = takeAlerts();
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_TRUE(alerts.first().startsWith("Some of “gaps.svg” could not be imported.")) << qPrintable(alerts.first());
    EXPECT_TRUE(alerts.first().contains("image (3), foreignObject (2)")) << qPrintable(alerts.first());
    // Why, each reason once: an embedded image's too, not only in the log.
    for (const char* reason : {"\n\u2022 the image \"gone.png\" is left out: there is no such file\n",
                               "\n\u2022 <foreignObject> is not supported\n",
                               "\n\u2022 an embedded image of 26 bytes is left out: it is not an image that can be read"})
        EXPECT_TRUE(alerts.first().contains(QString::fromUtf8(reason))) << reason << " in " << qPrintable(alerts.first());
    EXPECT_EQ(alerts.first().count(QStringLiteral("foreignObject> is not supported")), 1);

    ASSERT_TRUE(f.drop({f.write("whole.svg", svg(100, 50, rect(40, 20)))}));
    EXPECT_TRUE(takeAlerts().isEmpty());
}

TEST(SVGDrop, OnlyASoundFirstFileWithTheExactExtensionIsTaken)
{
    DropFixture f;
    const QByteArray content = svg(100, 50, rect(100, 50));
    for (const char* name : {"capitals.SVG", "mixed.Svg", "plain.txt", "noextension"})
        EXPECT_FALSE(f.drop({f.write(name, content)})) << name;
    // A later SVG file of the drop does not count...
    EXPECT_FALSE(f.drop({f.folder.filePath("plain.txt"), f.write("later.svg", content)}));
    const QByteArray damaged[] = {
        "<svg xmlns=\"http://www.w3.org/2000/svg\"><rect width=", // cut short
        QByteArray(2048, '\xff'),                                   // not XML
        svg(100, 100, ""),                                          // nothing to draw
        svg(0, 0, rect(0, 0)),
        svg(100, 100, "<rect width=\"NaN\" height=\"nan\"/>"),
        svg(100, 100, "<rect width=\"1e400\" height=\"inf\"/>"),
        svg(100, 100, "<path d=\"M 0 0 L 1e308 1e308 L -1e308 0 Z\"/>"),
    };
    for (const QByteArray& bad : damaged)
        EXPECT_FALSE(f.drop({f.write("bad.svg", bad)})) << bad.left(60).toStdString();
    EXPECT_FALSE(f.drop({f.folder.filePath("missing.svg")}));
    EXPECT_EQ(f.layer->countOfObjects(), 1);
    EXPECT_EQ(f.undo->numberOfUndoActions(), 0);
    EXPECT_EQ(f.layer->selection(), QList<VXDrawableObjectPtr>{f.square});
    // ...and only the first of several is imported.
    EXPECT_TRUE(f.drop({f.folder.filePath("later.svg"), f.folder.filePath("later.svg")}));
    EXPECT_EQ(f.layer->countOfObjects(), 2);
}

TEST(ImageDrop, ImagesArriveAsImageShapesHalvedToFitAndUndoAsOneStep)
{
    DropFixture f;
    QImage picture(300, 100, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    const QString path = f.folder.filePath("scan.png");
    ASSERT_TRUE(picture.save(path));

    ASSERT_TRUE(f.drop({path}, {50, 60}));
    const auto shape = std::dynamic_pointer_cast<VXImageShape>(f.dropped());
    ASSERT_TRUE(shape);
    expectSizeNear(shape->size(), {150, 50}); // the drawing is 200 wide
    EXPECT_EQ(shape->location(), QPointF(50, 60));
    EXPECT_EQ(shape->image().size(), picture.size());
    EXPECT_EQ(f.layer->selection(), QList<VXDrawableObjectPtr>{shape});
    EXPECT_EQ(f.undo->undoActionName(), "Drop");
    f.undo->undo();
    EXPECT_EQ(f.layer->objects(), QList<VXDrawableObjectPtr>{f.square});
    EXPECT_EQ(f.layer->selection(), QList<VXDrawableObjectPtr>{f.square});

    // Image data without a file, as other programs drag pictures.
    QMimeData data;
    data.setImageData(picture.scaled(40, 20));
    ASSERT_TRUE(f.layer->performDragOperation({&data, {100, 100}, nullptr}));
    f.endStep();
    expectSizeNear(f.dropped()->size(), {40, 20});

    // Files that are no image, and SVG files under another extension, are not placed as pixels.
    const QByteArray vector = svg(100, 50, rect(100, 50));
    const std::pair<const char*, QByteArray> refused[] = {
        {"capitals.SVG", vector}, {"picture.png", vector}, {"notes.txt", "just words"}};
    for (const auto& [name, content] : refused)
        EXPECT_FALSE(f.drop({f.write(name, content)})) << name;
    EXPECT_EQ(f.layer->countOfObjects(), 2);
}

TEST(SVGDrop, DroppedOnAViewTheGraphicLandsWhereThePointerIs)
{
    viewtest::ViewFixture f;
    QTemporaryDir folder;
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(writeFile(folder, "one.svg", svg(40, 20, rect(40, 20))))});
    const QPoint pixel = f.at({60, 140});
    QDragEnterEvent enter(pixel, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(f.view.viewport(), &enter);
    QDropEvent drop(pixel, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(f.view.viewport(), &drop);

    EXPECT_TRUE(drop.isAccepted());
    ASSERT_EQ(f.layer->countOfObjects(), 1);
    EXPECT_EQ(f.layer->objectInObjectsAtIndex(0)->location(), QPointF(60, 140));
}

} // namespace
