#include "MapDocumentTestSupport.h"

#include "app/import/QVNVectorizingOptionsController.h"
#include "app/import/QVNVectorizingPreviewView.h"
#include "platform/ui/MenuItem.h"
#include "platform/vantrix/drawables/VXImageShape.h"
#include "platform/vantrix/drawables/VXShapeGroup.h"
#include "support/SettingScope.h"

#include <QApplication>
#include <QBuffer>
#include <QButtonGroup>
#include <QDialog>
#include <QLabel>
#include <QRadioButton>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

using mapdocumenttest::activeMappingLayer;
using mapdocumenttest::newMapDocument;

namespace {

QImage blankImage(QSize size)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::white);
    return image;
}

// A 200 x 100 view showing a 400 x 400 image, linked to a view without one.
struct LinkedViews {
    QVNVectorizingPreviewView source;
    QVNVectorizingPreviewView traced;
    QSlider slider{Qt::Horizontal};

    LinkedViews()
    {
        slider.setRange(1, 1000);
        for (QVNVectorizingPreviewView* view : {&source, &traced}) {
            view->resize(200, 100);
            view->setScaleSlider(&slider);
        }
        source.setLinkedView(&traced);
        traced.setLinkedView(&source);
        source.setSourceImage(blankImage({400, 400}));
    }

    void drag(QVNVectorizingPreviewView& view, QPointF from, QPointF to)
    {
        QMouseEvent press(QEvent::MouseButtonPress, from, from, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QMouseEvent move(QEvent::MouseMove, to, to, Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, to, to, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&view, &press);
        QApplication::sendEvent(&view, &move);
        QApplication::sendEvent(&view, &release);
    }

    void wheel(QVNVectorizingPreviewView& view, QPoint angleDelta)
    {
        QWheelEvent event(QPointF(10, 10), QPointF(10, 10), QPoint(), angleDelta, Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(&view, &event);
    }
};

QByteArray twoColourPNG()
{
    QImage image = blankImage({120, 90});
    QPainter(&image).fillRect(QRect(30, 20, 50, 40), Qt::black);
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return data;
}

// A map document whose active layer holds one image shape, selected.
std::shared_ptr<VXImageShape> addSelectedImage(ZQQuorvaneDocument& document)
{
    auto shape = VXImageShape::imageShapeWithImageData(twoColourPNG());
    VXQMappingLayer* layer = activeMappingLayer(document);
    layer->addObject(shape);
    layer->replaceSelectionWithObject(shape);
    document.undoManager()->closeAutomaticGroup();
    return shape;
}

} // namespace

TEST(VectorizingPreviewViewTest, ScaleIsClampedBetweenCoveringTheViewAndTenAndTheSliderDrivesBothViews)
{
    LinkedViews views;
    EXPECT_DOUBLE_EQ(views.source.minImageScale(), 0.5); // the larger of 200/400 and 100/400
    EXPECT_EQ(views.slider.minimum(), 50);
    views.source.setImageScale(0.1);
    EXPECT_DOUBLE_EQ(views.source.imageScale(), 0.5);
    views.source.setImageScale(25);
    EXPECT_DOUBLE_EQ(views.source.imageScale(), 10.0);
    EXPECT_EQ(views.slider.value(), 1000);
    // The view without an image clamps by its partner's.
    views.traced.setImageScale(0.2);
    EXPECT_DOUBLE_EQ(views.traced.imageScale(), 0.5);

    // The slider snaps to 1 near it.
    for (const auto& [value, scale] : {std::pair{105, 1.0}, std::pair{150, 1.5}, std::pair{89, 0.89}}) {
        views.slider.setValue(value);
        views.source.scaleAction(&views.slider);
        EXPECT_DOUBLE_EQ(views.source.imageScale(), scale) << value;
        EXPECT_DOUBLE_EQ(views.traced.imageScale(), scale) << value;
    }
    // The wheel zooms both, but not when scrolled sideways.
    views.slider.setValue(100);
    views.source.scaleAction(&views.slider);
    views.wheel(views.source, {0, -120});
    EXPECT_DOUBLE_EQ(views.traced.imageScale(), 1.1);
    views.wheel(views.traced, {0, 120});
    EXPECT_DOUBLE_EQ(views.source.imageScale(), 1.1 * 0.9);
    views.wheel(views.source, {120, 0});
    EXPECT_DOUBLE_EQ(views.source.imageScale(), 1.1 * 0.9);
}

TEST(VectorizingPreviewViewTest, OffsetStaysWithinTheScaledImageAndDraggingMovesBothViews)
{
    LinkedViews views;
    views.source.setImageOffset({-5, 1000});
    EXPECT_EQ(views.source.imageOffset(), QPointF(0, 300)); // 400 - 100 down, nothing left of 0
    views.source.setImageOffset({150, 120});
    // Zooming out re-clamps: at 0.5 the image is 200 x 200, so only 100 of height is left.
    views.source.setImageScale(0.5);
    EXPECT_EQ(views.source.imageOffset(), QPointF(0, 100));
    views.source.setImageScale(1);

    views.drag(views.traced, {100, 50}, {60, 20}); // content follows the mouse: the offset grows
    EXPECT_EQ(views.source.imageOffset(), QPointF(40, 30));
    views.drag(views.source, {0, 0}, {-500, -500});
    EXPECT_EQ(views.traced.imageOffset(), QPointF(200, 300));
    views.drag(views.source, {0, 0}, {900, 900});
    EXPECT_EQ(views.traced.imageOffset(), QPointF(0, 0));

    // A new image starts again at the top left and at scale 1, or the least that covers
    // the view; the partner follows.
    views.traced.setImageOffset({30, 40});
    views.source.setSourceImage(blankImage({800, 800}));
    EXPECT_EQ(views.traced.imageOffset(), QPointF(0, 0));
    EXPECT_DOUBLE_EQ(views.source.imageScale(), 1.0);
    views.source.setSourceImage(blankImage({50, 20}));
    EXPECT_DOUBLE_EQ(views.source.imageScale(), 5.0);
    EXPECT_DOUBLE_EQ(views.traced.imageScale(), 5.0);

    // Without any image the offset is taken as given.
    QVNVectorizingPreviewView lone;
    lone.resize(200, 100);
    lone.setImageOffset({-40, 5000});
    EXPECT_EQ(lone.imageOffset(), QPointF(-40, 5000));
}

TEST(VectorizingOptionsTest, ConfirmingTracesTheSelectedImageAsOneUndoStep)
{
    const testsupport::SettingScope tracing(&VXImageShape::tracingParameters, &VXImageShape::setTracingParameters);
    const auto document = newMapDocument();
    const auto shape = addSelectedImage(*document);
    platform::MenuItem item;
    item.setAction("vectorizeImageSelection");
    EXPECT_TRUE(document->validateMenuItem(&item));

    document->vectorizeImageSelection();
    QVNVectorizingOptionsController* controller = document->vectorizingController();
    ASSERT_TRUE(controller);
    EXPECT_EQ(controller->image().size(), QSize(120, 90));
    EXPECT_EQ(controller->options(), VXImageShape::tracingParameters());
    controller->waitForPreview();
    EXPECT_EQ(controller->vectorImageView()->vectors().size(), 2);

    // A control's value reaches the options and the preview is traced again.
    controller->levelsSlider()->setValue(4);
    EXPECT_EQ(controller->levelsLabel()->text(), QStringLiteral("16"));
    controller->colorGrayscaleRadioMatrix()->button(1)->click();
    controller->alphaMaxSlider()->setValue(50);
    EXPECT_EQ(controller->alphaMaxLabel()->text(), QStringLiteral("0.50"));
    controller->waitForPreview();
    EXPECT_EQ(controller->options().value(kVXTracingParam_levels), 4);
    EXPECT_EQ(controller->options().value(kVXTracingParam_colourmode), 1);
    EXPECT_DOUBLE_EQ(controller->options().value(kVXTracingParam_alphamax).toDouble(), 0.5);
    EXPECT_EQ(controller->vectorImageView()->vectors().first().colour(), QColor(Qt::white));

    controller->vectorizeAction(nullptr);
    EXPECT_FALSE(controller->window()->isVisible());
    EXPECT_EQ(VXImageShape::tracingParameters().value(kVXTracingParam_levels), 4);
    VXQMappingLayer* layer = activeMappingLayer(*document);
    ASSERT_EQ(layer->objects().size(), 1);
    EXPECT_TRUE(std::dynamic_pointer_cast<VXShapeGroup>(layer->objects().first()));
    document->undoManager()->closeAutomaticGroup();
    EXPECT_EQ(document->undoManager()->undoActionName(), QStringLiteral("Vectorize"));
    document->undoManager()->undo();
    EXPECT_EQ(layer->objects().first().get(), shape.get());

    // The controller is the document's own and is kept.
    document->vectorizeImageSelection();
    EXPECT_EQ(document->vectorizingController(), controller);
    controller->cancelAction(nullptr);
    EXPECT_EQ(layer->objects().first().get(), shape.get());
}

TEST(VectorizingOptionsTest, WithoutASelectedImageOrAnAnsweringDelegateNothingIsTraced)
{
    const auto document = newMapDocument();
    platform::MenuItem item;
    item.setAction("vectorizeImageSelection");
    EXPECT_FALSE(document->validateMenuItem(&item));
    document->vectorizeImageSelection();
    QVNVectorizingOptionsController* controller = document->vectorizingController();
    EXPECT_TRUE(controller->image().isNull());
    EXPECT_FALSE(controller->isTracing());
    EXPECT_TRUE(controller->vectorImageView()->vectors().isEmpty());
    controller->vectorizeAction(nullptr);
    EXPECT_TRUE(activeMappingLayer(*document)->objects().isEmpty());

    // A delegate that answers nothing gets the defaults and is not told of the end.
    QVNVectorizingOptionsController plain;
    QObject mute;
    plain.runModalVectorizingDialogForWindowVectorizingDelegate(nullptr, &mute);
    EXPECT_EQ(plain.options(), platform::defaultTracingParameters());
    plain.stopModalVectorizingDialog();
    EXPECT_FALSE(plain.window()->isVisible());
}
