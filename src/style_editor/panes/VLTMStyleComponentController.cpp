#include "style_editor/panes/VLTMStyleComponentController.h"

#include "app/application/VLTMHelpTrampoline.h"
#include "platform/ui/Menu.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/styles/VXStyle.h"
#include "style_editor/editor/VLTMStyleEditorController.h"
#include "style_editor/panes/StyleLengthFormatter.h"
#include "widgets/fields/ZQAugmentedTextField.h"
#include "widgets/stacks/ZQCollapsibleContainerView.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMimeData>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString kEnabledKey = QStringLiteral("enabled");
constexpr QSize kWidthSwatchSize(64, 20);

QIcon strokeWidthSwatch(double width)
{
    QImage image(kWidthSwatchSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, width, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(QPointF(0, 10), QPointF(kWidthSwatchSize.width(), 10));
    painter.end();
    QIcon icon(QPixmap::fromImage(image));
    icon.setIsMask(true);
    return icon;
}

} // namespace

VLTMStyleComponentController::VLTMStyleComponentController() = default;

VLTMStyleComponentController::~VLTMStyleComponentController() = default;

// --- What the pane edits -------------------------------------------------------------------------

const QMetaObject* VLTMStyleComponentController::managedObjectClass() const
{
    return &VXRasterizer::staticMetaObject;
}

QStringList VLTMStyleComponentController::keyPathsOfInterest() const
{
    return {kEnabledKey};
}

QStringList VLTMStyleComponentController::keyPathsOfInterestWith(const QStringList& keyPaths)
{
    return QStringList{kEnabledKey} + keyPaths;
}

QString VLTMStyleComponentController::helpIdentifier() const
{
    return QStringLiteral("style-components");
}

VXRasterizerPtr VLTMStyleComponentController::representedComponent()
{
    const QList<ZQObjectPtr>& objects = content();
    return objects.isEmpty() ? nullptr : std::dynamic_pointer_cast<VXRasterizer>(objects.first());
}

void VLTMStyleComponentController::setRepresentedComponent(const VXRasterizerPtr& component)
{
    unloadContent();
    if (!component) {
        setContent({});
        return;
    }
    setContent({component});
    newObjectWasAssigned();
}

bool VLTMStyleComponentController::enabled()
{
    const VXRasterizerPtr component = representedComponent();
    return component && component->enabled();
}

bool VLTMStyleComponentController::locked()
{
    const VXRasterizerPtr component = representedComponent();
    return component && component->locked();
}

QWidget* VLTMStyleComponentController::windowForSheet()
{
    return view()->window();
}

// --- View --------------------------------------------------------------------------------------------

QWidget* VLTMStyleComponentController::loadView()
{
    auto* pane = new QWidget;
    auto* layout = new QVBoxLayout(pane);
    layout->setContentsMargins(6, 2, 6, 4);
    auto* topRow = new QHBoxLayout;
    m_enabledCheckbox = new QCheckBox(tr("Enabled"), pane);
    connect(m_enabledCheckbox, &QCheckBox::clicked, this, [this] { enabledAction(m_enabledCheckbox); });
    topRow->addWidget(m_enabledCheckbox);
    topRow->addStretch();

    m_componentMenu = new platform::Menu(QString(), pane);
    const auto addItem = [this](const QByteArray& action) {
        auto* item = new platform::MenuItem(QString(), action, m_componentMenu);
        item->setTarget(this);
        m_componentMenu->addAction(item);
        return item;
    };
    addItem("copyComponentAction");
    addItem("deleteComponentAction");
    m_helpMenuItem = addItem("componentHelpAction");
    addComponentMenuItems(*m_componentMenu);
    auto* menuButton = new QToolButton(pane);
    menuButton->setText(QStringLiteral("\u22EF"));
    menuButton->setMenu(m_componentMenu);
    menuButton->setPopupMode(QToolButton::InstantPopup);
    menuButton->setAutoRaise(true);
    topRow->addWidget(menuButton);
    layout->addLayout(topRow);

    if (QWidget* controls = makeControls())
        layout->addWidget(controls);
    return pane;
}

// --- Display setters ---------------------------------------------------------------------------------

void VLTMStyleComponentController::setEnabled(bool enabled)
{
    view();
    m_enabledCheckbox->setChecked(enabled);
    if (m_hostingView && m_hostingView->titleCheckbox())
        m_hostingView->titleCheckbox()->setChecked(enabled);
    // The editor's lock holds however the component's own flags change.
    setStatesForLockEnabled(m_shownLocked || locked(), enabled);
}

void VLTMStyleComponentController::setLocked(bool locked)
{
    view();
    m_shownLocked = locked;
    m_enabledCheckbox->setEnabled(!locked);
    if (m_hostingView) {
        if (QCheckBox* titleCheckbox = m_hostingView->titleCheckbox())
            titleCheckbox->setEnabled(!locked);
        if (QToolButton* close = m_hostingView->closingButton())
            close->setEnabled(!locked);
        m_hostingView->setAllowsReordering(!locked);
    }
    setStatesForLockEnabled(locked || this->locked(), enabled());
}

void VLTMStyleComponentController::setStatesForLockEnabled(bool, bool) {}

void VLTMStyleComponentController::changeUnitsConversionFactorToWithUnits(double, const QString&) {}

void VLTMStyleComponentController::addSubcontroller(VLTMStyleComponentController*) {}

// --- Actions -----------------------------------------------------------------------------------------

void VLTMStyleComponentController::setCommonValueForKeyPath(const QVariant& value, const QString& keyPath)
{
    const VXRasterizer::EditingScope scope(undoManager());
    VLTMGenericObjectController::setCommonValueForKeyPath(value, keyPath);
}

void VLTMStyleComponentController::enabledAction(QObject* sender)
{
    takeCommonValueFromForKeyPath(sender, kEnabledKey);
}

void VLTMStyleComponentController::copyComponentAction(QObject*)
{
    const VXRasterizerPtr component = representedComponent();
    if (!component)
        return;
    auto* data = new QMimeData;
    component->copyToPasteboard(data);
    QGuiApplication::clipboard()->setMimeData(data);
}

void VLTMStyleComponentController::deleteComponentAction(QObject* sender)
{
    if (m_hostingView)
        m_hostingView->closeAction(sender);
}

void VLTMStyleComponentController::componentHelpAction(QObject*)
{
    VLTMHelpTrampoline::sharedHelpTrampoline()->showHelpForIdentifier(helpIdentifier());
}

bool VLTMStyleComponentController::validateMenuItem(platform::MenuItem* item)
{
    const VXRasterizerPtr component = representedComponent();
    const QString kind = component ? component->displayName() : QString();
    const QByteArray action = item->action();
    if (action == "deleteComponentAction") {
        item->setTitle(QStringLiteral("%1 %2").arg(tr("Delete"), kind));
        return m_styleEditor && m_styleEditor->styleAllowsChanges();
    }
    if (action == "copyComponentAction") {
        item->setTitle(QStringLiteral("%1 %2").arg(tr("Copy"), kind));
        return true;
    }
    if (action == "componentHelpAction") {
        item->setTitle(QStringLiteral("%1 %2...").arg(kind, tr("Help")));
        return true;
    }
    return respondsToSelector(action);
}

// --- Helpers for panes ---------------------------------------------------------------------------------

void VLTMStyleComponentController::updateFormatterForControlMultiplierDecimalPlacesSuffix(QWidget* control,
                                                                                         double multiplier,
                                                                                         int decimalPlaces,
                                                                                         const QString& suffix)
{
    auto* field = qobject_cast<ZQAugmentedTextField*>(control);
    if (!field || !field->formatter())
        return;
    // Read with the old formatter, shown with the new one.
    const double value = field->doubleValue();
    platform::NumberFormatter& formatter = *field->formatter();
    formatter.setMultiplier(multiplier);
    if (auto* lengths = dynamic_cast<StyleLengthFormatter*>(&formatter)) {
        lengths->setPositiveSuffix(suffix);
        lengths->setNegativeSuffix(suffix);
    }
    formatter.setMaximumFractionDigits(decimalPlaces);
    field->setDoubleValue(value);
}

QString VLTMStyleComponentController::strokeWidthTitle(double width, bool showsDrawingUnits, double unitToPoints,
                                                       const QString& units)
{
    if (showsDrawingUnits && unitToPoints > 0)
        return QString::asprintf("%.3f", width / unitToPoints) + units + QString::asprintf(" (%.1fpt)", width);
    return QString::asprintf("%.1fpt", width);
}

void VLTMStyleComponentController::initialiseStrokeWidthMenu(QMenu* menu)
{
    if (!menu)
        return;
    const VXDrawing* drawing = m_styleEditor ? m_styleEditor->drawing() : nullptr;
    const bool drawingUnits = m_styleEditor && m_styleEditor->displaysDrawingUnits() && drawing;
    const double unitToPoints = drawing ? drawing->unitToPointsConversionFactor() : 1.0;
    const QString units = drawing ? drawing->abbreviatedDrawingUnits() : QString();
    for (QAction* action : menu->actions()) {
        auto* item = qobject_cast<platform::MenuItem*>(action);
        if (!item || item->tag() <= 0)
            continue;
        const double width = item->tag() / 10.0;
        item->setTitle(strokeWidthTitle(width, drawingUnits, unitToPoints, units));
        if (item->icon().isNull())
            item->setIcon(strokeWidthSwatch(width));
    }
}

const platform::DisplayBindings& VLTMStyleComponentController::displayBindings() const
{
    using Self = VLTMStyleComponentController;
    static const auto bindings = platform::DisplayBindings()
        .bind(QStringLiteral("enabled"), &Self::setEnabled)
        .bind(QStringLiteral("locked"), &Self::setLocked);
    return bindings;
}
