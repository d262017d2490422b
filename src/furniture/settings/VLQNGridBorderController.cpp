#include "furniture/settings/VLQNGridBorderController.h"

#include "furniture/edges/VXQGridBorder.h"
#include "furniture/settings/GridSettingsHost.h"
#include "furniture/settings/SettingsPaneControls.h"
#include "platform/ui/ColourWell.h"
#include "widgets/controls/ScrollwheelControls.h"

#include <QCheckBox>
#include <QFormLayout>

VLQNGridBorderController::VLQNGridBorderController() = default;

VLQNGridBorderController::~VLQNGridBorderController() = default;

const QMetaObject* VLQNGridBorderController::managedObjectClass() const
{
    return &VXQGridBorder::staticMetaObject;
}

QStringList VLQNGridBorderController::keyPathsOfInterest() const
{
    return {QStringLiteral("width"),       QStringLiteral("offset"),
            QStringLiteral("isAlternating"), QStringLiteral("extendedMarkers"),
            QStringLiteral("ordnanceSurveyStyleEnabled"), QStringLiteral("fillColour"),
            QStringLiteral("alternateFillColour"), QStringLiteral("borderEdges")};
}

ZQObject* VLQNGridBorderController::border()
{
    const QList<ZQObjectPtr>& objects = content();
    return objects.isEmpty() ? nullptr : objects.first().get();
}

QWidget* VLQNGridBorderController::loadView()
{
    using namespace furniture;
    auto* view = new QWidget;
    m_widthField = makeNumberField(2, 0.5, NumberSign::Any, this, "borderWidthAction");
    m_gapField = makeNumberField(2, 0.5, NumberSign::Any, this, "borderGapAction");
    m_extendedCheckbox = makeCheckbox(tr("Extended markers"), this, "borderExtendedAction");
    m_barredCheckbox = makeCheckbox(tr("Barred"), this, "borderBarredAction");
    m_alternatingCheckbox = makeCheckbox(tr("Alternating"), this, "borderAlternatingAction");
    m_firstColourWell = makeColourWell(this, "borderFirstColourAction");
    m_secondColourWell = makeColourWell(this, "borderSecondColourAction");

    auto* form = new QFormLayout(view);
    form->addRow(tr("Width:"), m_widthField);
    form->addRow(tr("Gap:"), m_gapField);
    form->addRow(m_extendedCheckbox);
    form->addRow(m_barredCheckbox);
    form->addRow(m_alternatingCheckbox);
    form->addRow(tr("Colours:"), makeRow({m_firstColourWell, m_secondColourWell}));
    return view;
}

bool VLQNGridBorderController::shouldSetValueOfObjectForKeyPath(QVariant&, ZQObject*, const QString&)
{
    return !m_gridController || !m_gridController->gridIsLocked();
}

// --- Display setters ------------------------------------------------------------------------

void VLQNGridBorderController::setWidth(double width)
{
    furniture::showNumber(m_widthField, width);
}

void VLQNGridBorderController::setOffset(double offset)
{
    furniture::showNumber(m_gapField, offset);
}

void VLQNGridBorderController::setIsAlternating(bool alternating)
{
    m_alternatingCheckbox->setChecked(alternating);
}

void VLQNGridBorderController::setExtendedMarkers(bool extended)
{
    m_extendedCheckbox->setChecked(extended);
}

void VLQNGridBorderController::setOrdnanceSurveyStyleEnabled(bool barred)
{
    m_barredCheckbox->setChecked(barred);
}

void VLQNGridBorderController::setFillColour(const QColor& colour)
{
    m_firstColourWell->setColor(colour);
}

void VLQNGridBorderController::setAlternateFillColour(const QColor& colour)
{
    m_secondColourWell->setColor(colour);
}

void VLQNGridBorderController::setBorderEdges(int edges)
{
    if (m_gridController)
        m_gridController->setBorderEdges(edges);
}

// --- Actions --------------------------------------------------------------------------------

void VLQNGridBorderController::borderWidthAction(QObject* sender)
{
    takeCommonValueFromForKeyPath(sender, QStringLiteral("width"));
}

void VLQNGridBorderController::borderGapAction(QObject* sender)
{
    takeCommonValueFromForKeyPath(sender, QStringLiteral("offset"));
}

void VLQNGridBorderController::borderExtendedAction(QObject* sender)
{
    takeCommonValueFromForKeyPath(sender, QStringLiteral("extendedMarkers"));
}

void VLQNGridBorderController::borderBarredAction(QObject* sender)
{
    takeCommonValueFromForKeyPath(sender, QStringLiteral("ordnanceSurveyStyleEnabled"));
}

void VLQNGridBorderController::borderAlternatingAction(QObject* sender)
{
    takeCommonValueFromForKeyPath(sender, QStringLiteral("isAlternating"));
}

void VLQNGridBorderController::borderFirstColourAction(QObject* sender)
{
    takeCommonValueFromForKeyPath(sender, QStringLiteral("fillColour"));
}

void VLQNGridBorderController::borderSecondColourAction(QObject* sender)
{
    takeCommonValueFromForKeyPath(sender, QStringLiteral("alternateFillColour"));
}

const platform::DisplayBindings& VLQNGridBorderController::displayBindings() const
{
    using Self = VLQNGridBorderController;
    static const auto bindings = platform::DisplayBindings()
        .bind(QStringLiteral("width"), &Self::setWidth)
        .bind(QStringLiteral("offset"), &Self::setOffset)
        .bind(QStringLiteral("isAlternating"), &Self::setIsAlternating)
        .bind(QStringLiteral("extendedMarkers"), &Self::setExtendedMarkers)
        .bind(QStringLiteral("ordnanceSurveyStyleEnabled"), &Self::setOrdnanceSurveyStyleEnabled)
        .bind(QStringLiteral("fillColour"), &Self::setFillColour)
        .bind(QStringLiteral("alternateFillColour"), &Self::setAlternateFillColour)
        .bind(QStringLiteral("borderEdges"), &Self::setBorderEdges);
    return bindings;
}
