#include "inspectors/panes/VLTM_VXImageShapeController.h"

#include "inspectors/InspectedObjects.h"
#include "platform/vantrix/drawables/VXImageShape.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QPainter>
#include <QPushButton>

namespace {

using Row = GeometryPaneRow;

Row::Choices compositingChoices()
{
    return {{QObject::tr("Normal"), QPainter::CompositionMode_SourceOver},
            {QObject::tr("Multiply"), QPainter::CompositionMode_Multiply},
            {QObject::tr("Screen"), QPainter::CompositionMode_Screen},
            {QObject::tr("Overlay"), QPainter::CompositionMode_Overlay},
            {QObject::tr("Darken"), QPainter::CompositionMode_Darken},
            {QObject::tr("Lighten"), QPainter::CompositionMode_Lighten},
            {QObject::tr("Colour Dodge"), QPainter::CompositionMode_ColorDodge},
            {QObject::tr("Colour Burn"), QPainter::CompositionMode_ColorBurn},
            {QObject::tr("Hard Light"), QPainter::CompositionMode_HardLight},
            {QObject::tr("Soft Light"), QPainter::CompositionMode_SoftLight},
            {QObject::tr("Difference"), QPainter::CompositionMode_Difference},
            {QObject::tr("Exclusion"), QPainter::CompositionMode_Exclusion}};
}

} // namespace

const QMetaObject* VLTM_VXImageShapeController::managedObjectClass() const
{
    return &VXImageShape::staticMetaObject;
}

QString VLTM_VXImageShapeController::paneTitle() const
{
    return tr("Image");
}

GeometryPaneTable VLTM_VXImageShapeController::table() const
{
    return {
        Row::number(QStringLiteral("imageOpacity"), tr("Opacity:"), 0, 1, 0.05),
        Row::number(QStringLiteral("imageScale"), tr("Scale:"), 0.01, 100, 0.05),
        Row::checkbox(QStringLiteral("imageDrawsOnTop"), tr("Draw on top")),
        Row::choice(Row::Control::PopUp, QStringLiteral("compositingOperation"), tr("Compositing:"), compositingChoices()),
    };
}

void VLTM_VXImageShapeController::addCustomControls(QFormLayout& form)
{
    auto* buttons = new QWidget;
    auto* grid = new QGridLayout(buttons);
    grid->setContentsMargins(0, 0, 0, 0);
    using Action = void (VLTM_VXImageShapeController::*)(QObject*);
    const auto make = [&](const QString& title, Action action, int row, int column) {
        auto* button = new QPushButton(title, buttons);
        connect(button, &QPushButton::clicked, this, [this, action, button] { (this->*action)(button); });
        grid->addWidget(button, row, column);
        return button;
    };
    m_editButton = make(tr("Edit"), &VLTM_VXImageShapeController::editAction, 0, 0);
    m_cropButton = make(tr("Crop"), &VLTM_VXImageShapeController::cropAction, 0, 1);
    m_sizeToFitButton = make(tr("Size To Fit"), &VLTM_VXImageShapeController::sizeToFitAction, 1, 0);
    m_cropResampleButton = make(tr("Crop && Resample"), &VLTM_VXImageShapeController::cropAndResampleAction, 1, 1);
    form.addRow(buttons);
}

QPushButton* VLTM_VXImageShapeController::editButton()
{
    view();
    return m_editButton;
}

QPushButton* VLTM_VXImageShapeController::cropButton()
{
    view();
    return m_cropButton;
}

QPushButton* VLTM_VXImageShapeController::sizeToFitButton()
{
    view();
    return m_sizeToFitButton;
}

QPushButton* VLTM_VXImageShapeController::cropResampleButton()
{
    view();
    return m_cropResampleButton;
}

bool VLTM_VXImageShapeController::hasOneEditableShape()
{
    return content().size() == 1 && !inspectors::objectIsLocked(*content().first());
}

void VLTM_VXImageShapeController::setCustomEnabling(bool mayEdit)
{
    const bool one = mayEdit && content().size() == 1;
    m_editButton->setEnabled(one);
    // Cropping on the image needs the shape to offer a crop mode.
    m_cropButton->setEnabled(one && content().first()->respondsToSelector("setImagePresentationMode"));
    m_sizeToFitButton->setEnabled(mayEdit);
    m_cropResampleButton->setEnabled(mayEdit);
}

void VLTM_VXImageShapeController::editAction(QObject*)
{
    if (hasOneEditableShape())
        content().first()->performSelector("editImage", {QVariant::fromValue<QObject*>(nullptr)});
}

void VLTM_VXImageShapeController::cropAction(QObject*)
{
    if (hasOneEditableShape() && content().first()->respondsToSelector("setImagePresentationMode"))
        content().first()->performSelector("setImagePresentationMode", {2});
}

void VLTM_VXImageShapeController::sendToEveryShape(const QByteArray& command, const QString& undoName)
{
    const QList<ZQObjectPtr> shapes = content();
    for (const ZQObjectPtr& shape : shapes)
        shape->performSelector(command, {QVariant::fromValue<QObject*>(nullptr)});
    nameUndoAction(undoName);
}

void VLTM_VXImageShapeController::sizeToFitAction(QObject*)
{
    sendToEveryShape("fitToImage", tr("Size To Fit Image"));
}

void VLTM_VXImageShapeController::cropAndResampleAction(QObject*)
{
    sendToEveryShape("cropImage", tr("Crop & Resample Image"));
}

