#include "inspectors/panes/VLTM_VXQSliceController.h"

#include "inspectors/geometry/GeometryPaneRegistry.h"
#include "inspectors/geometry/VLTMGeometryPaneDelegate.h"
#include "platform/foundation/Markers.h"
#include "platform/vantrix/model/VXLayer.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QToolButton>

namespace {

const QString kToolModeDidChange = QStringLiteral("kVLTMSlicesLayerToolModeDidChange");

} // namespace

VLTM_VXQSliceController::VLTM_VXQSliceController()
{
    platform::NotificationCenter::defaultCenter().addObserver(
        this, kToolModeDidChange, nullptr, [this](const platform::Notification& notification) { toolModeChanged(notification); });
}

VLTM_VXQSliceController::~VLTM_VXQSliceController() = default;

void VLTM_VXQSliceController::installWithServices(std::shared_ptr<VLTMSliceServices> services)
{
    const QMetaObject* sliceClass = services ? services->sliceClass() : nullptr;
    VLTMSliceServices::install(std::move(services));
    if (sliceClass)
        GeometryPaneRegistry::registerPaneForKey<VLTM_VXQSliceController>(QString::fromLatin1(sliceClass->className()));
}

const QMetaObject* VLTM_VXQSliceController::managedObjectClass() const
{
    const VLTMSliceServices* services = VLTMSliceServices::installed();
    return services ? services->sliceClass() : &VLTM_VXQSliceController::staticMetaObject;
}

QString VLTM_VXQSliceController::paneTitle() const
{
    return tr("Slice");
}

GeometryPaneTable VLTM_VXQSliceController::table() const
{
    GeometryPaneTable rows = placementRows();
    rows.append(GeometryPaneRow::make(QStringLiteral("title"), tr("Title:"), GeometryPaneRow::Control::Text));
    rows.append(GeometryPaneRow::make(QStringLiteral("colour"), tr("Colour:"), GeometryPaneRow::Control::Colour)
                    .when([](GeometryTablePane& pane) {
                        return !platform::isMultipleValuesMarker(pane.commonValueForKeyPath(QStringLiteral("colour")));
                    }));
    return rows;
}

void VLTM_VXQSliceController::addCustomControls(QFormLayout& form)
{
    VLTM_VXDrawableObjectController::addCustomControls(form);
    auto* modes = new QWidget;
    auto* layout = new QHBoxLayout(modes);
    layout->setContentsMargins(0, 0, 0, 0);
    m_toolModeSegmentedControl = new QButtonGroup(modes);
    const QString titles[] = {tr("Select"), tr("Draw")};
    for (int mode = 0; mode < 2; ++mode) {
        auto* button = new QToolButton(modes);
        button->setText(titles[mode]);
        button->setCheckable(true);
        m_toolModeSegmentedControl->addButton(button, mode);
        layout->addWidget(button);
    }
    connect(m_toolModeSegmentedControl, &QButtonGroup::idClicked, this, [this] { toolModeAction(m_toolModeSegmentedControl); });
    m_exportButton = new QPushButton(tr("Export..."), modes);
    connect(m_exportButton, &QPushButton::clicked, this, [this] { exportAction(m_exportButton); });
    layout->addWidget(m_exportButton);
    form.addRow(tr("Tool:"), modes);
}

QButtonGroup* VLTM_VXQSliceController::toolModeSegmentedControl()
{
    view();
    return m_toolModeSegmentedControl;
}

QPushButton* VLTM_VXQSliceController::exportButton()
{
    view();
    return m_exportButton;
}

void VLTM_VXQSliceController::setCustomEnabling(bool mayEdit)
{
    VLTM_VXDrawableObjectController::setCustomEnabling(mayEdit);
    const bool hasLayer = slicesLayer() != nullptr;
    for (QAbstractButton* button : m_toolModeSegmentedControl->buttons())
        button->setEnabled(hasLayer);
    m_exportButton->setEnabled(hasLayer);
}

VXLayer* VLTM_VXQSliceController::slicesLayer()
{
    const VLTMSliceServices* services = VLTMSliceServices::installed();
    if (!services || content().isEmpty())
        return nullptr;
    return services->slicesLayerOfSlice(content().first().get());
}

void VLTM_VXQSliceController::observedValueForKeyDidChangeTo(const QString& keyPath, const QVariant& value)
{
    VLTM_VXDrawableObjectController::observedValueForKeyDidChangeTo(keyPath, value);
    if (keyPath != QLatin1String("title"))
        return;
    if (VLTMGeometryPaneDelegate* delegate = paneDelegate())
        delegate->setNeedsInfoUpdate();
    showToolMode();
}

void VLTM_VXQSliceController::showToolMode()
{
    VXLayer* layer = slicesLayer();
    QAbstractButton* button = layer ? toolModeSegmentedControl()->button(layer->property("toolMode").toInt()) : nullptr;
    if (button)
        button->setChecked(true);
}

void VLTM_VXQSliceController::toolModeChanged(const platform::Notification& notification)
{
    if (notification.object() && notification.object() == slicesLayer())
        showToolMode();
}

void VLTM_VXQSliceController::toolModeAction(QObject*)
{
    if (VXLayer* layer = slicesLayer())
        layer->setProperty("toolMode", toolModeSegmentedControl()->checkedId());
}

void VLTM_VXQSliceController::exportAction(QObject*)
{
    VXLayer* layer = slicesLayer();
    if (layer && VLTMSliceServices::installed())
        VLTMSliceServices::installed()->exportSlicesOfDrawing(layer->drawing());
}

