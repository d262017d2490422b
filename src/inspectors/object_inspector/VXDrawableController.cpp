#include "inspectors/object_inspector/VXDrawableController.h"

#include "platform/foundation/Markers.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"
#include "platform/vantrix/inspector/InspectorValues.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "tracks/model/ZQMultiStylePath.h"
#include "tracks/styles/ZQRangeDrawingStyle.h"
#include "widgets/paint/KitImage.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>

namespace {

constexpr double kLockIconSize = 14;

void showState(QCheckBox* checkbox, Qt::CheckState state)
{
    if (!checkbox)
        return;
    checkbox->setTristate(state == Qt::PartiallyChecked);
    checkbox->setCheckState(state);
}

} // namespace

VXDrawableController::VXDrawableController() = default;

VXDrawableController::~VXDrawableController()
{
    delete m_view;
}

QWidget* VXDrawableController::view()
{
    if (m_view)
        return m_view;
    m_view = new QWidget;
    m_view->setObjectName(QStringLiteral("VXDrawableController"));
    auto* form = new QFormLayout(m_view);
    m_displayNameField = new QLabel(m_view);
    form->addRow(tr("Kind:"), m_displayNameField);
    m_descriptionField = new QLabel(m_view);
    m_descriptionField->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form->addRow(tr("Description:"), m_descriptionField);
    m_styleNameField = new QLabel(m_view);
    form->addRow(tr("Style:"), m_styleNameField);

    auto* lockRow = new QHBoxLayout;
    auto* lockCheckbox = new QCheckBox(tr("Locked"), m_view);
    connect(lockCheckbox, &QCheckBox::clicked, this, [this, lockCheckbox] { lockedAction(lockCheckbox); });
    setLockCheckbox(lockCheckbox);
    lockRow->addWidget(lockCheckbox);
    m_lockIcon = new QLabel(m_view);
    m_lockIcon->setFixedSize(int(kLockIconSize), int(kLockIconSize));
    lockRow->addWidget(m_lockIcon);
    lockRow->addStretch(1);
    form->addRow(lockRow);
    m_visibleCheckbox = new QCheckBox(tr("Visible"), m_view);
    connect(m_visibleCheckbox, &QCheckBox::clicked, this, [this] { visibleAction(m_visibleCheckbox); });
    form->addRow(m_visibleCheckbox);
    m_ghostedCheckbox = new QCheckBox(tr("Ghosted"), m_view);
    connect(m_ghostedCheckbox, &QCheckBox::clicked, this, [this] { ghostedAction(m_ghostedCheckbox); });
    form->addRow(m_ghostedCheckbox);
    setContainerView(m_view);
    setControlStateForNil();
    return m_view;
}

void VXDrawableController::setDrawable(const ZQObjectPtr& drawable)
{
    setContent(drawable ? QList<ZQObjectPtr>{drawable} : QList<ZQObjectPtr>());
}

QStringList VXDrawableController::observableKeyPaths() const
{
    return {QStringLiteral("locked"), QStringLiteral("visible"), QStringLiteral("ghosted"), QStringLiteral("style"),
            QStringLiteral("name")};
}

// --- What is shown -------------------------------------------------------------------------------

QString VXDrawableController::styleNameForObject(const ZQObject& object)
{
    if (const auto* path = qobject_cast<const ZQMultiStylePath*>(&object)) {
        const QList<ZQRangeDrawingStylePtr> styles = path->styles();
        if (styles.size() >= 2)
            return tr("<multiple>");
        const VXStylePtr style = styles.isEmpty() ? nullptr : styles.first()->style();
        return style && !style->name().isEmpty() ? style->name() : tr("<none>");
    }
    const auto* drawable = qobject_cast<const VXDrawableObject*>(&object);
    const VXStylePtr style = drawable ? drawable->style() : nullptr;
    if (!style)
        return tr("<none>");
    return style->name().isEmpty() ? tr("<unnamed>") : style->name();
}

QString VXDrawableController::unitsString() const
{
    const auto* drawable = qobject_cast<const VXDrawableObject*>(inspectable().get());
    const VXDrawing* drawing = drawable ? drawable->drawing() : nullptr;
    return drawing ? drawing->abbreviatedDrawingUnits() : QString();
}

void VXDrawableController::newObjectWasAssigned()
{
    view();
    const QVariant kind = commonValueForKeyPath(QStringLiteral("displayName"));
    m_displayNameField->setText(platform::isMultipleValuesMarker(kind) ? tr("Multiple Types") : kind.toString());
    showDescription();
}

void VXDrawableController::showDescription()
{
    const QVariant description = commonValueForKeyPath(QStringLiteral("userDescription"));
    if (platform::isMultipleValuesMarker(description))
        m_descriptionField->setText(tr("<multiple descriptions>"));
    else
        m_descriptionField->setText(platform::isNull(description) || platform::isNotApplicableMarker(description)
                                        ? QString()
                                        : description.toString());
}

void VXDrawableController::setName(const QString&)
{
    // The description is the name when there is one.
    if (m_descriptionField && !content().isEmpty())
        showDescription();
}

void VXDrawableController::setMixedValueForName()
{
    setName({});
}

void VXDrawableController::setStyle(VXStyle*)
{
    view();
    const ZQObjectPtr object = inspectable();
    m_styleNameField->setText(object ? styleNameForObject(*object) : QString());
}

void VXDrawableController::setMixedValueForStyle()
{
    view();
    m_styleNameField->setText(tr("<multiple styles>"));
}

void VXDrawableController::setVisible(bool visible)
{
    showState(m_visibleCheckbox, visible ? Qt::Checked : Qt::Unchecked);
}

void VXDrawableController::setMixedValueForVisible()
{
    showState(m_visibleCheckbox, Qt::PartiallyChecked);
}

void VXDrawableController::setGhosted(bool ghosted)
{
    showState(m_ghostedCheckbox, ghosted ? Qt::Checked : Qt::Unchecked);
}

void VXDrawableController::setMixedValueForGhosted()
{
    showState(m_ghostedCheckbox, Qt::PartiallyChecked);
}

// --- Lock ------------------------------------------------------------------------------------------

void VXDrawableController::setLocked(bool locked)
{
    setLockIconShown(locked);
    VXInspectableController::setLocked(locked);
}

void VXDrawableController::setMixedValueForLocked()
{
    VXInspectableController::setMixedValueForLocked();
    setLockIconShown(false);
}

void VXDrawableController::setLockIconShown(bool shown)
{
    view();
    if (!shown) {
        m_lockIcon->clear();
        return;
    }
    const qreal ratio = m_lockIcon->devicePixelRatioF();
    m_lockIcon->setPixmap(QPixmap::fromImage(
        imageNamed(QStringLiteral("VL_Layer_Lock-Template")).imageOfSize({kLockIconSize, kLockIconSize}, ratio)));
}

void VXDrawableController::setControlStateForLock(bool locked)
{
    view();
    if (QCheckBox* lock = lockCheckbox())
        lock->setEnabled(true);
    m_visibleCheckbox->setEnabled(!locked);
    m_ghostedCheckbox->setEnabled(!locked);
}

void VXDrawableController::setControlStateForNil()
{
    view();
    setLockIconShown(false);
    for (QCheckBox* checkbox : {lockCheckbox(), m_visibleCheckbox.data(), m_ghostedCheckbox.data()}) {
        if (checkbox)
            checkbox->setEnabled(false);
    }
    m_displayNameField->clear();
    m_styleNameField->clear();
    m_descriptionField->clear();
}

// --- Actions ----------------------------------------------------------------------------------------

void VXDrawableController::writeCheckbox(QCheckBox* checkbox, const QString& keyPath)
{
    if (!checkbox)
        return;
    if (checkbox->checkState() == Qt::PartiallyChecked)
        checkbox->setCheckState(Qt::Checked);
    setCommonValueForKeyPath(checkbox->isChecked(), keyPath);
}

void VXDrawableController::visibleAction(QObject* sender)
{
    writeCheckbox(qobject_cast<QCheckBox*>(sender) ? qobject_cast<QCheckBox*>(sender) : m_visibleCheckbox.data(),
                  QStringLiteral("visible"));
}

void VXDrawableController::ghostedAction(QObject* sender)
{
    writeCheckbox(qobject_cast<QCheckBox*>(sender) ? qobject_cast<QCheckBox*>(sender) : m_ghostedCheckbox.data(),
                  QStringLiteral("ghosted"));
}

// --- Widgets -----------------------------------------------------------------------------------------

QLabel* VXDrawableController::displayNameField()
{
    view();
    return m_displayNameField;
}

QLabel* VXDrawableController::descriptionField()
{
    view();
    return m_descriptionField;
}

QLabel* VXDrawableController::styleNameField()
{
    view();
    return m_styleNameField;
}

QLabel* VXDrawableController::lockIcon()
{
    view();
    return m_lockIcon;
}

QCheckBox* VXDrawableController::visibleCheckbox()
{
    view();
    return m_visibleCheckbox;
}

QCheckBox* VXDrawableController::ghostedCheckbox()
{
    view();
    return m_ghostedCheckbox;
}

const platform::DisplayBindings& VXDrawableController::displayBindings() const
{
    using Self = VXDrawableController;
    static const auto bindings = platform::DisplayBindings()
        .bind(QStringLiteral("locked"), &Self::setLocked, &Self::setMixedValueForLocked)
        .bind(QStringLiteral("visible"), &Self::setVisible, &Self::setMixedValueForVisible)
        .bind(QStringLiteral("ghosted"), &Self::setGhosted, &Self::setMixedValueForGhosted)
        .bind(QStringLiteral("style"), &Self::setStyle, &Self::setMixedValueForStyle)
        .bind(QStringLiteral("name"), &Self::setName, &Self::setMixedValueForName);
    return bindings;
}
