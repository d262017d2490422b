#include "InspectorTesting.h"

#include "inspectors/panes/ShapePanes.h"
#include "inspectors/panes/VLTM_VXImageShapeController.h"
#include "platform/vantrix/drawables/VXArcPath.h"
#include "platform/vantrix/drawables/VXImageShape.h"
#include "platform/vantrix/drawables/VXRegularPolygonPath.h"
#include "platform/vantrix/drawables/VXRoundRectShape.h"
#include "widgets/controls/ZQRoundRectSelectorControl.h"

#include <QBuffer>
#include <QImage>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace inspectortest;

namespace {

std::shared_ptr<VXRegularPolygonPath> polygon(bool star)
{
    auto shape = std::make_shared<VXRegularPolygonPath>();
    shape->setIsStar(star);
    return shape;
}

std::shared_ptr<VXImageShape> imageShape(QSize pixels, const QRectF& box)
{
    QImage image(pixels, QImage::Format_ARGB32);
    image.fill(Qt::darkGreen);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    auto shape = VXImageShape::imageShapeWithImageData(png);
    shape->setSize(box.size());
    shape->setLocation(box.center());
    return shape;
}

} // namespace

TEST(PolygonPane, StarControlsFollowTheStarAndTheLock)
{
    TabFixture fixture;
    auto star = fixture.add(polygon(true));
    auto plain = fixture.add(polygon(false));
    auto* pane = fixture.paneFor<VLTM_VXRegularPolygonPathController>(QStringLiteral("VXRegularPolygonPath"));
    const auto enabled = [&](const char* key) { return pane->rowControl(QString::fromLatin1(key))->widget()->isEnabled(); };

    fixture.select({plain});
    EXPECT_FALSE(enabled("innerRadius"));
    EXPECT_FALSE(enabled("valleySpread"));
    EXPECT_TRUE(enabled("tipSpread"));
    EXPECT_EQ(pane->rowControl(QStringLiteral("isStar"))->buttons()->checkedId(), 0);

    // A star and a polygon: no segment, and what a star needs stays usable.
    fixture.select({star, plain});
    EXPECT_EQ(pane->rowControl(QStringLiteral("isStar"))->buttons()->checkedId(), -1);
    EXPECT_TRUE(enabled("innerRadius"));
    EXPECT_TRUE(enabled("valleySpread"));

    // Choosing "Star" writes to both.
    pane->rowControl(QStringLiteral("isStar"))->buttons()->button(1)->click();
    EXPECT_TRUE(plain->isStar());
    EXPECT_TRUE(enabled("innerRadius"));

    star->setLocked(true);
    fixture.select({star});
    EXPECT_FALSE(enabled("innerRadius"));
    EXPECT_FALSE(enabled("numberOfSides"));
}

TEST(ArcPane, TheAnglesLabelShowsTheLastArc)
{
    TabFixture fixture;
    auto arc = fixture.add(std::make_shared<VXArcPath>());
    arc->setStartAngle(0);
    arc->setEndAngle(90);
    fixture.select({arc});
    auto* pane = fixture.paneFor<VLTM_VXArcPathController>(QStringLiteral("VXArcPath"));
    EXPECT_EQ(pane->anglesTextLabel()->text(), QStringLiteral("0.00° - 90.00°"));
    arc->setEndAngle(135.5);
    TabFixture::settle();
    EXPECT_EQ(pane->anglesTextLabel()->text(), QStringLiteral("0.00° - 135.50°"));

    auto other = fixture.add(std::make_shared<VXArcPath>());
    other->setStartAngle(45);
    fixture.select({arc, other});
    EXPECT_TRUE(pane->anglesTextLabel()->text().isEmpty());
}

TEST(RoundRectPane, DifferentCornersShowMixedAndAClickWritesThemAll)
{
    TabFixture fixture;
    auto first = fixture.add(VXRoundRectShape::roundRectInRectCornerRadiusStyle({0, 0, 50, 30}, 5, nullptr));
    auto second = fixture.add(VXRoundRectShape::roundRectInRectCornerRadiusStyle({60, 0, 50, 30}, 5, nullptr));
    auto locked = fixture.add(VXRoundRectShape::roundRectInRectCornerRadiusStyle({0, 60, 50, 30}, 5, nullptr));
    first->setCornerFlags(1);
    second->setCornerFlags(4);
    locked->setCornerFlags(2);
    locked->setLocked(true);
    fixture.select({first, second, locked});
    auto* pane = fixture.paneFor<VLTM_VXRoundRectShapeController>(QStringLiteral("VXRoundRectShape"));
    EXPECT_EQ(pane->cornerControl()->corners(), 15);
    EXPECT_EQ(pane->cornerControl()->state(), ZQRoundRectSelectorControl::kMixedState);

    pane->cornerControl()->setCorners(5);
    pane->cornerControlAction();
    EXPECT_EQ(first->cornerFlags(), 5);
    EXPECT_EQ(second->cornerFlags(), 5);
    EXPECT_EQ(locked->cornerFlags(), 2);
}

TEST(ImageShapePane, OneShapeToEditAndOneStepToFitThemAll)
{
    TabFixture fixture;
    auto first = fixture.add(imageShape({40, 20}, {0, 0, 100, 100}));
    auto second = fixture.add(imageShape({10, 30}, {200, 200, 50, 50}));
    fixture.select({first, second});
    auto* pane = fixture.paneFor<VLTM_VXImageShapeController>(QStringLiteral("VXImageShape"));
    EXPECT_FALSE(pane->editButton()->isEnabled());
    EXPECT_FALSE(pane->cropButton()->isEnabled());
    EXPECT_TRUE(pane->sizeToFitButton()->isEnabled());
    fixture.forgetEdits();

    pane->sizeToFitAction();
    EXPECT_EQ(first->size(), QSizeF(40, 20));
    EXPECT_EQ(second->size(), QSizeF(10, 30));
    EXPECT_EQ(fixture.undo.undoActionName(), QStringLiteral("Size To Fit Image"));
    fixture.endStep();
    fixture.undo.undo();
    EXPECT_EQ(first->size(), QSizeF(100, 100));
    EXPECT_EQ(second->size(), QSizeF(50, 50));

    fixture.select({first});
    EXPECT_TRUE(pane->editButton()->isEnabled());
    QString opened;
    VXImageShape::setExternalEditorLauncher([&](const QString& path) {
        opened = path;
        return true;
    });
    pane->editAction();
    VXImageShape::setExternalEditorLauncher(nullptr);
    ASSERT_FALSE(opened.isEmpty());
    EXPECT_EQ(QImage(opened).size(), QSize(40, 20));
}

TEST(ImageShapePane, CropAndResampleKeepsWhatTheShapeShows)
{
    TabFixture fixture;
    auto shape = fixture.add(imageShape({40, 20}, {0, 0, 80, 40}));
    shape->setImageScale(2.0);
    fixture.select({shape});
    auto* pane = fixture.paneFor<VLTM_VXImageShapeController>(QStringLiteral("VXImageShape"));
    // The ampersand is shown, not taken for a mnemonic.
    EXPECT_TRUE(QKeySequence::mnemonic(pane->cropResampleButton()->text()).isEmpty());
    fixture.forgetEdits();
    pane->cropAndResampleAction();
    EXPECT_EQ(shape->image().size(), QSize(80, 40));
    EXPECT_DOUBLE_EQ(shape->imageScale(), 1.0);
    EXPECT_EQ(fixture.undo.undoActionName(), QStringLiteral("Crop & Resample Image"));
    fixture.endStep();
    fixture.undo.undo();
    EXPECT_EQ(shape->image().size(), QSize(40, 20));
    EXPECT_DOUBLE_EQ(shape->imageScale(), 2.0);
}

TEST(ImageShapePane, CroppingKeepsThePartMarkedWhenTheShapeIsLeft)
{
    TabFixture fixture;
    auto shape = fixture.add(imageShape({40, 20}, {0, 0, 80, 40}));
    auto other = fixture.addShape({200, 200, 10, 10});
    fixture.select({shape});
    auto* pane = fixture.paneFor<VLTM_VXImageShapeController>(QStringLiteral("VXImageShape"));
    ASSERT_TRUE(pane->cropButton()->isEnabled());
    fixture.forgetEdits();
    pane->cropAction();
    ASSERT_EQ(shape->imagePresentationMode(), VXImageShape::kCropPresentation);
    // The left half stays where it was.
    shape->setCropRect(QRectF(-0.5, -0.5, 0.5, 1));
    const QPointF keptCentre(20, 20);
    fixture.select({other});
    EXPECT_EQ(shape->imagePresentationMode(), VXImageShape::kNormalPresentation);
    EXPECT_EQ(shape->image().size(), QSize(20, 20));
    EXPECT_EQ(shape->size(), QSizeF(40, 40));
    EXPECT_NEAR(shape->bounds().center().x(), keptCentre.x(), 1e-6);
    EXPECT_NEAR(shape->bounds().center().y(), keptCentre.y(), 1e-6);
    EXPECT_EQ(fixture.undo.undoActionName(), QStringLiteral("Crop Image"));
    fixture.endStep();
    fixture.undo.undo();
    EXPECT_EQ(shape->image().size(), QSize(40, 20));
    EXPECT_EQ(shape->size(), QSizeF(80, 40));

    // Leaving the mode by hand keeps the image whole.
    shape->setImagePresentationMode(VXImageShape::kCropPresentation);
    shape->setCropRect(QRectF(0, 0, 0.5, 0.5));
    shape->setImagePresentationMode(VXImageShape::kNormalPresentation);
    EXPECT_EQ(shape->image().size(), QSize(40, 20));
}
