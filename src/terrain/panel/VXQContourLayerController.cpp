#include "terrain/panel/VXQContourLayerController.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/ZQLog.h"
#include "platform/ui/ColourWell.h"
#include "platform/ui/WindowNotifications.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/view/VXDrawingView.h"
#include "terrain/layer/ContourUnits.h"
#include "terrain/layer/ZQContourLayer.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

int g_observationContext;

QDoubleSpinBox* makeNumberField(double minimum, double maximum, double step, QWidget* parent)
{
    auto* field = new QDoubleSpinBox(parent);
    field->setLocale(QLocale::c());
    field->setRange(minimum, maximum);
    field->setDecimals(2);
    field->setSingleStep(step);
    // One action per value the user settles on, not one per keystroke.
    field->setKeyboardTracking(false);
    return field;
}

void setFieldValue(QDoubleSpinBox* field, double value)
{
    const QSignalBlocker quiet(field);
    field->setValue(value);
}

} // namespace

VXQContourLayerController::VXQContourLayerController()
{
    initWithWindowNibName(windowNibName());
    platform::NotificationCenter::defaultCenter().addObserver(
        this, platform::kNSWindowDidBecomeMainNotification, nullptr, [this](const platform::Notification& notification) {
            followMapInWindow(qobject_cast<QWidget*>(notification.object()));
        });
}

VXQContourLayerController::~VXQContourLayerController()
{
    platform::NotificationCenter::defaultCenter().removeObserver(this);
    if (m_contourLayer)
        stopObservingLayer(m_contourLayer);
}

// The layers of a map in the back keep their activation: the panel goes with the map in front.
void VXQContourLayerController::followMapInWindow(QWidget* window)
{
    if (!window)
        return;
    const auto views = window->findChildren<VXDrawingView*>();
    const auto map = std::find_if(views.cbegin(), views.cend(), [](const VXDrawingView* view) { return view->drawing(); });
    if (map == views.cend())
        return;
    auto* layer = qobject_cast<ZQContourLayer*>((*map)->drawing()->activeLayer());
    setContourLayer(layer);
    if (layer)
        showWindow();
    else
        hideWindow();
}

VXQContourLayerController* VXQContourLayerController::sharedContourLayerController()
{
    // Never destroyed: a window deleted after the application object has gone would crash at exit.
    static VXQContourLayerController* const shared = new VXQContourLayerController;
    return shared;
}

// --- The window ----------------------------------------------------------------------------------------

QWidget* VXQContourLayerController::loadWindow()
{
    auto* panel = new QWidget(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint);
    panel->setAttribute(Qt::WA_ShowWithoutActivating);
    auto* form = new QFormLayout;

    m_terrainToolChooser = new QButtonGroup(panel);
    auto* tools = new QHBoxLayout;
    const QStringList toolNames{tr("Raise"), tr("Lower"), tr("Level"), tr("Valley")};
    for (int mode = 0; mode < toolNames.size(); ++mode) {
        auto* button = new QToolButton(panel);
        button->setText(toolNames[mode]);
        button->setCheckable(true);
        m_terrainToolChooser->addButton(button, mode);
        tools->addWidget(button);
    }
    m_terrainToolChooser->setExclusive(true);
    form->addRow(tr("Tool:"), tools);

    m_terrainToolSizeSlider = new QSlider(Qt::Horizontal, panel);
    m_terrainToolSizeSlider->setRange(1, kLargestBrushSize);
    m_terrainToolSizeSlider->setSingleStep(2);
    m_terrainToolSizeSlider->setPageStep(2);
    form->addRow(tr("Brush size:"), m_terrainToolSizeSlider);

    m_fixedHeightField = makeNumberField(-1e6, 1e6, 1.0, panel);
    form->addRow(tr("Level height:"), m_fixedHeightField);

    m_contourIntervalField = makeNumberField(0.01, 1e5, 1.0, panel);
    form->addRow(tr("Contour interval:"), m_contourIntervalField);

    m_lineWidthField = makeNumberField(0.0, 100.0, 0.1, panel);
    form->addRow(tr("Line width:"), m_lineWidthField);

    auto* wells = new QHBoxLayout;
    m_plusContoursColourWell = new platform::ColourWell(panel);
    m_minusContoursColourWell = new platform::ColourWell(panel);
    wells->addWidget(m_plusContoursColourWell);
    wells->addWidget(new QLabel(tr("below 0:"), panel));
    wells->addWidget(m_minusContoursColourWell);
    form->addRow(tr("Colours:"), wells);

    auto* base = new QHBoxLayout;
    m_baseHeightTextField = makeNumberField(-1e6, 1e6, 1.0, panel);
    m_unitsTextLabel = new QLabel(panel);
    base->addWidget(m_baseHeightTextField);
    base->addWidget(m_unitsTextLabel);
    form->addRow(tr("Base height:"), base);

    m_unitsComboBox = new QComboBox(panel);
    m_unitsComboBox->setEditable(true);
    m_unitsComboBox->setInsertPolicy(QComboBox::NoInsert);
    m_unitsComboBox->addItems(ContourUnits::availableUnits());
    form->addRow(tr("Units:"), m_unitsComboBox);

    m_smoothCheckbox = new QCheckBox(tr("Smooth"), panel);
    m_simplifyCheckbox = new QCheckBox(tr("Simplify"), panel);
    auto* flags = new QHBoxLayout;
    flags->addWidget(m_smoothCheckbox);
    flags->addWidget(m_simplifyCheckbox);
    form->addRow(QString(), flags);

    m_sectionControlMatrix = new QButtonGroup(panel);
    auto* sections = new QHBoxLayout;
    const QStringList sectionNames{tr("None"), tr("Horizontal"), tr("Vertical")};
    for (int tag = 0; tag < sectionNames.size(); ++tag) {
        auto* cell = new QRadioButton(sectionNames[tag], panel);
        m_sectionControlMatrix->addButton(cell, tag);
        sections->addWidget(cell);
    }
    form->addRow(tr("Section:"), sections);

    m_helpButton = new QPushButton(QStringLiteral("?"), panel);
    auto* layout = new QVBoxLayout(panel);
    layout->addLayout(form);
    layout->addWidget(m_helpButton, 0, Qt::AlignRight);
    return panel;
}

void VXQContourLayerController::windowDidLoad()
{
    connect(m_terrainToolChooser, &QButtonGroup::idClicked, this, [this] { terrainToolChoiceAction(m_terrainToolChooser); });
    connect(m_terrainToolSizeSlider, &QSlider::valueChanged, this, [this] { terrainToolSizeAction(m_terrainToolSizeSlider); });
    connect(m_fixedHeightField, &QDoubleSpinBox::valueChanged, this, [this] { fixedHeightAction(m_fixedHeightField); });
    connect(m_contourIntervalField, &QDoubleSpinBox::valueChanged, this,
            [this] { contourIntervalAction(m_contourIntervalField); });
    connect(m_lineWidthField, &QDoubleSpinBox::valueChanged, this, [this] { lineWidthAction(m_lineWidthField); });
    connect(m_baseHeightTextField, &QDoubleSpinBox::valueChanged, this, [this] { baseHeightAction(m_baseHeightTextField); });
    connect(m_plusContoursColourWell, &platform::ColourWell::colorChanged, this,
            [this] { plusContourColourAction(m_plusContoursColourWell); });
    connect(m_minusContoursColourWell, &platform::ColourWell::colorChanged, this,
            [this] { minusControurColourAction(m_minusContoursColourWell); });
    connect(m_unitsComboBox, &QComboBox::textActivated, this, [this] { unitsAction(m_unitsComboBox); });
    connect(m_smoothCheckbox, &QCheckBox::clicked, this, [this] { smoothAction(m_smoothCheckbox); });
    connect(m_simplifyCheckbox, &QCheckBox::clicked, this, [this] { simplifyAction(m_simplifyCheckbox); });
    connect(m_sectionControlMatrix, &QButtonGroup::idClicked, this, [this] { sectionControlAction(m_sectionControlMatrix); });
    connect(m_helpButton, &QAbstractButton::clicked, this, [this] { contourHelpAction(m_helpButton); });
    setUpWithLayer(m_contourLayer);
}

void VXQContourLayerController::showWindow()
{
    QWidget* panel = window();
    if (!m_placed) {
        // First shown beside the window the user works in, not over its drawing.
        m_placed = true;
        panel->adjustSize();
        if (const QWidget* front = QApplication::activeWindow(); front && front != panel)
            panel->move(front->frameGeometry().topRight() + QPoint(8, 0));
        else if (const QScreen* screen = panel->screen())
            panel->move(screen->availableGeometry().topRight() - QPoint(panel->width() + 20, -40));
    }
    panel->show();
}

void VXQContourLayerController::hideWindow()
{
    if (isWindowLoaded())
        window()->hide();
}

// --- The layer -----------------------------------------------------------------------------------------

void VXQContourLayerController::setContourLayer(ZQContourLayer* layer)
{
    if (layer == m_contourLayer)
        return;
    window();
    if (m_contourLayer)
        stopObservingLayer(m_contourLayer);
    disconnect(m_layerDestroyed);
    m_contourLayer = layer;
    if (layer)
        // By then its observations have gone with it, and so has the layer behind the pointer.
        m_layerDestroyed = connect(layer, &QObject::destroyed, this, [this] {
            m_contourLayer = nullptr;
            window()->setWindowTitle(tr("--"));
            hideWindow();
        });
    window()->setWindowTitle(layer ? layer->layerName() : tr("--"));
    if (layer)
        startObservingLayer(layer);
    setUpWithLayer(layer);
}

void VXQContourLayerController::startObservingLayer(ZQContourLayer* layer)
{
    for (const QString& key : ZQContourLayer::observableKeys())
        layer->addObserverForKeyPathOptionsContext(
            this, key, platform::KeyValueObservingOptionNew | platform::KeyValueObservingOptionInitial,
            &g_observationContext);
}

void VXQContourLayerController::stopObservingLayer(ZQContourLayer* layer)
{
    for (const QString& key : ZQContourLayer::observableKeys())
        layer->removeObserverForKeyPathContext(this, key, &g_observationContext);
}

void VXQContourLayerController::observeValueForKeyPathOfObjectChangeContext(const QString& keyPath, ZQObject* object,
                                                                            const platform::KeyValueChange& change,
                                                                            void* context)
{
    if (context != &g_observationContext || object != m_contourLayer)
        return;
    setValueForKey(change.newValue, keyPath);
}

void VXQContourLayerController::setUpWithLayer(ZQContourLayer* layer)
{
    if (!layer) {
        hideWindow();
        return;
    }
    if (!isWindowLoaded())
        return;
    setColourWells();
    {
        const QSignalBlocker quiet(m_terrainToolSizeSlider);
        m_terrainToolSizeSlider->setValue(int(layer->kernelSize()));
    }
    selectSectionCell();
    refreshBaseHeightField();
    setFieldValue(m_lineWidthField, layer->contourLineWidth());
    setFieldValue(m_contourIntervalField, layer->contourInterval());
    m_smoothCheckbox->setChecked(layer->smoothsContours());
    m_simplifyCheckbox->setChecked(layer->simplifiesContours());
    setUnits(layer->units());
    if (QAbstractButton* tool = m_terrainToolChooser->button(layer->terrainMode()))
        tool->setChecked(true);
}

void VXQContourLayerController::setColourWells()
{
    const QColor colour = m_contourLayer ? m_contourLayer->contourColour() : QColor();
    const QColor negative = m_contourLayer ? m_contourLayer->negativeContourColour() : QColor();
    m_plusContoursColourWell->setEnabled(colour.isValid());
    m_minusContoursColourWell->setEnabled(colour.isValid());
    if (!colour.isValid())
        return;
    const QSignalBlocker quietPlus(m_plusContoursColourWell), quietMinus(m_minusContoursColourWell);
    m_plusContoursColourWell->setColor(colour);
    m_minusContoursColourWell->setColor(negative.isValid() ? negative : colour);
}

void VXQContourLayerController::selectSectionCell()
{
    if (!m_contourLayer)
        return;
    const int tag = !m_contourLayer->showsCrossSection() ? 0 : m_contourLayer->crossSectionIsVertical() ? 2 : 1;
    m_sectionControlMatrix->button(tag)->setChecked(true);
}

void VXQContourLayerController::refreshBaseHeightField()
{
    if (m_contourLayer)
        setFieldValue(m_baseHeightTextField, m_contourLayer->baseHeight());
}

// --- Actions -------------------------------------------------------------------------------------------

void VXQContourLayerController::sectionControlAction(QObject*)
{
    if (!m_contourLayer)
        return;
    const int tag = m_sectionControlMatrix->checkedId();
    if (tag == 0) {
        m_contourLayer->setShowsCrossSection(false);
        return;
    }
    m_contourLayer->setShowsCrossSection(true);
    m_contourLayer->setCrossSectionIsVertical(tag == 2);
}

void VXQContourLayerController::terrainToolChoiceAction(QObject*)
{
    if (m_contourLayer)
        m_contourLayer->setTerrainMode(m_terrainToolChooser->checkedId());
}

void VXQContourLayerController::terrainToolSizeAction(QObject*)
{
    if (m_contourLayer && m_terrainToolSizeSlider->value() > 0)
        m_contourLayer->setKernelSize(quint64(m_terrainToolSizeSlider->value()));
}

void VXQContourLayerController::plusContourColourAction(QObject*)
{
    if (m_contourLayer)
        m_contourLayer->setSelectionColour(m_plusContoursColourWell->color());
}

void VXQContourLayerController::minusControurColourAction(QObject*)
{
    if (m_contourLayer)
        m_contourLayer->setNegativeContourColour(m_minusContoursColourWell->color());
}

void VXQContourLayerController::baseHeightAction(QObject*)
{
    if (m_contourLayer)
        m_contourLayer->setBaseHeight(m_baseHeightTextField->value());
}

void VXQContourLayerController::unitsAction(QObject*)
{
    if (m_contourLayer)
        m_contourLayer->setUnits(m_unitsComboBox->currentText());
}

void VXQContourLayerController::smoothAction(QObject*)
{
    if (m_contourLayer)
        m_contourLayer->setSmoothsContours(m_smoothCheckbox->isChecked());
}

void VXQContourLayerController::simplifyAction(QObject*)
{
    if (m_contourLayer)
        m_contourLayer->setSimplifiesContours(m_simplifyCheckbox->isChecked());
}

void VXQContourLayerController::lineWidthAction(QObject* sender)
{
    const auto* field = qobject_cast<QDoubleSpinBox*>(sender);
    if (!m_contourLayer || !field)
        return;
    m_contourLayer->setContourLineWidth(field->value());
    setFieldValue(m_lineWidthField, m_contourLayer->contourLineWidth());
}

void VXQContourLayerController::contourIntervalAction(QObject* sender)
{
    const auto* field = qobject_cast<QDoubleSpinBox*>(sender);
    if (!m_contourLayer || !field)
        return;
    m_contourLayer->setContourInterval(field->value());
    setFieldValue(m_contourIntervalField, m_contourLayer->contourInterval());
}

void VXQContourLayerController::fixedHeightAction(QObject*)
{
    if (m_contourLayer)
        m_contourLayer->setTerrainHeightForLevelMode(m_fixedHeightField->value());
}

namespace {

VXQContourLayerController::HelpHandler& helpHandler()
{
    static VXQContourLayerController::HelpHandler handler;
    return handler;
}

} // namespace

void VXQContourLayerController::setHelpHandler(HelpHandler handler) { helpHandler() = std::move(handler); }

void VXQContourLayerController::contourHelpAction(QObject*)
{
    const QString page = QString::fromLatin1(kHelpPage);
    LogEvent(kUserEvent, QStringLiteral("help requested: %1").arg(page));
    if (const HelpHandler& open = helpHandler())
        open(page);
}

// --- Updaters ------------------------------------------------------------------------------------------

void VXQContourLayerController::setSimplifiesContours(bool simplifies) { m_simplifyCheckbox->setChecked(simplifies); }

void VXQContourLayerController::setSmoothsContours(bool smooths) { m_smoothCheckbox->setChecked(smooths); }

void VXQContourLayerController::setContourColour(const QColor&) { setColourWells(); }

void VXQContourLayerController::setNegativeContourColour(const QColor&) { setColourWells(); }

void VXQContourLayerController::setContourLineWidth(double width) { setFieldValue(m_lineWidthField, width); }

void VXQContourLayerController::setContourInterval(double interval) { setFieldValue(m_contourIntervalField, interval); }

void VXQContourLayerController::setBaseHeight(double height) { setFieldValue(m_baseHeightTextField, height); }

void VXQContourLayerController::setUnits(const QVariant& units)
{
    const QString name = units.typeId() == QMetaType::QString ? units.toString() : QString();
    {
        const QSignalBlocker quiet(m_unitsComboBox);
        m_unitsComboBox->setCurrentText(name);
    }
    m_unitsTextLabel->setText(ContourUnits::abbreviationForUnits(name));
    refreshBaseHeightField();
}

void VXQContourLayerController::setShowsCrossSection(bool) { selectSectionCell(); }

void VXQContourLayerController::setCrossSectionIsVertical(bool) { selectSectionCell(); }

void VXQContourLayerController::setTerrainHeightForLevelMode(double height) { setFieldValue(m_fixedHeightField, height); }
