#include "furniture/settings/VLQNAnnotationController.h"

#include "furniture/edges/VXQGridAnnotation.h"
#include "furniture/settings/GridSettingsHost.h"
#include "furniture/settings/SettingsPaneControls.h"
#include "widgets/controls/ScrollwheelControls.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QRadioButton>
#include <tuple>

VLQNAnnotationController::VLQNAnnotationController() = default;

VLQNAnnotationController::~VLQNAnnotationController() = default;

const QMetaObject* VLQNAnnotationController::managedObjectClass() const
{
    return &VXQGridAnnotation::staticMetaObject;
}

QStringList VLQNAnnotationController::keyPathsOfInterest() const
{
    return {QStringLiteral("isAlphabetic"), QStringLiteral("isRotated"),  QStringLiteral("isReversed"),
            QStringLiteral("startingOffset"), QStringLiteral("increment"), QStringLiteral("digits"),
            QStringLiteral("placement")};
}

ZQObject* VLQNAnnotationController::annotation()
{
    const QList<ZQObjectPtr>& objects = content();
    return objects.isEmpty() ? nullptr : objects.first().get();
}

QWidget* VLQNAnnotationController::loadView()
{
    using namespace furniture;
    auto* view = new QWidget;
    m_startAtField = makeNumberField(0, 1, NumberSign::NonNegative, this, "startAtAction");
    m_incrementField = makeNumberField(0, 1, NumberSign::NonNegative, this, "incrementAction");
    m_digitsField = makeNumberField(0, 1, NumberSign::NonNegative, this, "digitsAction");

    std::tie(m_numbersRadio, m_lettersRadio) =
        makeRadioPair(tr("Numbers"), tr("Letters"), view, this, "alphabeticAction");
    m_rotatedCheckbox = makeCheckbox(tr("Rotated"), this, "rotatedAction");
    m_reversedCheckbox = makeCheckbox(tr("Reversed"), this, "reversedAction");

    auto* form = new QFormLayout(view);
    form->addRow(tr("Start at:"), m_startAtField);
    form->addRow(tr("Increment:"), m_incrementField);
    form->addRow(tr("Digits:"), m_digitsField);
    form->addRow(makeRow({m_numbersRadio, m_lettersRadio}));
    form->addRow(makeRow({m_rotatedCheckbox, m_reversedCheckbox}));
    return view;
}

bool VLQNAnnotationController::shouldSetValueOfObjectForKeyPath(QVariant&, ZQObject*, const QString&)
{
    return !m_gridController || !m_gridController->gridIsLocked();
}

// --- Display setters ------------------------------------------------------------------------

void VLQNAnnotationController::setIsAlphabetic(bool alphabetic)
{
    m_lettersRadio->setChecked(alphabetic);
    m_numbersRadio->setChecked(!alphabetic);
}

void VLQNAnnotationController::setIsRotated(bool rotated)
{
    m_rotatedCheckbox->setChecked(rotated);
}

void VLQNAnnotationController::setIsReversed(bool reversed)
{
    m_reversedCheckbox->setChecked(reversed);
}

void VLQNAnnotationController::setStartingOffset(double value)
{
    furniture::showNumber(m_startAtField, value);
}

void VLQNAnnotationController::setIncrement(double value)
{
    furniture::showNumber(m_incrementField, value);
}

void VLQNAnnotationController::setDigits(double value)
{
    furniture::showNumber(m_digitsField, value);
}

void VLQNAnnotationController::setPlacement(int placement)
{
    if (m_gridController)
        m_gridController->setPlacement(placement);
}

// --- Actions --------------------------------------------------------------------------------

void VLQNAnnotationController::alphabeticAction(QObject* sender)
{
    setCommonValueForKeyPath(sender == m_lettersRadio, QStringLiteral("isAlphabetic"));
}

void VLQNAnnotationController::rotatedAction(QObject* sender)
{
    takeCommonValueFromForKeyPath(sender, QStringLiteral("isRotated"));
}

void VLQNAnnotationController::reversedAction(QObject* sender)
{
    takeCommonValueFromForKeyPath(sender, QStringLiteral("isReversed"));
}

void VLQNAnnotationController::startAtAction(QObject* sender)
{
    takeCommonValueFromForKeyPath(sender, QStringLiteral("startingOffset"));
}

void VLQNAnnotationController::incrementAction(QObject* sender)
{
    takeCommonValueFromForKeyPath(sender, QStringLiteral("increment"));
}

void VLQNAnnotationController::digitsAction(QObject* sender)
{
    takeCommonValueFromForKeyPath(sender, QStringLiteral("digits"));
}

const platform::DisplayBindings& VLQNAnnotationController::displayBindings() const
{
    using Self = VLQNAnnotationController;
    static const auto bindings = platform::DisplayBindings()
        .bind(QStringLiteral("isAlphabetic"), &Self::setIsAlphabetic)
        .bind(QStringLiteral("isRotated"), &Self::setIsRotated)
        .bind(QStringLiteral("isReversed"), &Self::setIsReversed)
        .bind(QStringLiteral("startingOffset"), &Self::setStartingOffset)
        .bind(QStringLiteral("increment"), &Self::setIncrement)
        .bind(QStringLiteral("digits"), &Self::setDigits)
        .bind(QStringLiteral("placement"), &Self::setPlacement);
    return bindings;
}
