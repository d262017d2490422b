#include "furniture/calibration/QVNCalibrationController.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/measurement/ZQTypedLength.h"
#include "platform/ui/Application.h"
#include "platform/ui/NumberFormat.h"
#include "platform/ui/Sheet.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <cmath>

namespace {

// The ratio's whole number. Unit conversion and single-precision storage leave a preset's
// ratio a hair off its whole number (2499.9999997 for 1:2,500): that much is rounded away,
// any larger fraction dropped.
qint64 wholeRatio(double ratio)
{
    constexpr double kArithmeticNoise = 1e-6; // relative; single precision keeps about 6e-8
    const double nearest = std::round(ratio);
    return qint64(std::abs(ratio - nearest) <= nearest * kArithmeticNoise ? nearest : std::floor(ratio));
}

// "4 cm": at most two decimals, then the unit's symbol. Shown as single precision, as typed.
QString lengthText(double value, const ZQUnitLength& unit)
{
    return platform::NumberFormat(QStringLiteral("0.## ") + unit.symbol()).stringFromNumber(float(value));
}

void setItemEnabled(QComboBox& popUp, int index, bool enabled)
{
    if (auto* model = qobject_cast<QStandardItemModel*>(popUp.model())) {
        if (QStandardItem* item = model->item(index))
            item->setEnabled(enabled);
    }
}

} // namespace

QVNCalibrationController::QVNCalibrationController()
{
    initWithWindowNibName(QStringLiteral("QuorvaneCalibrationDialog"));
}

QVNCalibrationController::~QVNCalibrationController() = default;

const QList<qint64>& QVNCalibrationController::presetScales()
{
    static const QList<qint64> presets{500,   1000,  1250,   2500,   5000,   10000,  10560,
                                       20000, 25000, 50000,  63360,  100000, 200000, 250000,
                                       500000, 1000000};
    return presets;
}

const MapUnitTags& QVNCalibrationController::mapUnitTags()
{
    static constexpr MapUnitTag kTags[] = {
        {1, kMetricMeasurementSystem, 10},         {2, kMetricMeasurementSystem, 1000},
        {3, kMetricMeasurementSystem, 1000000},    {4, kImperialMeasurementSystem, 1},
        {5, kImperialMeasurementSystem, 12},       {6, kImperialMeasurementSystem, 36},
        {7, kImperialMeasurementSystem, 63360},    {8, kNauticalMilesMeasurementSystem, 1},
        {9, kQuartzMeasurementSystem, 1},          {10, kMetricMeasurementSystem, 1},
    };
    static constexpr MapUnitTags tags(kTags);
    return tags;
}

// --- The window ------------------------------------------------------------------------------------

QWidget* QVNCalibrationController::embeddedPane()
{
    if (!m_mapScalePopUpButton)
        m_pane = makeControls();
    return m_pane;
}

QWidget* QVNCalibrationController::makeControls()
{
    auto* pane = new QWidget;
    auto* form = new QFormLayout(pane);
    form->setContentsMargins({});

    m_sampleMeasureTextField = new QLineEdit(pane);
    m_sampleMeasureTextField->setEnabled(false);
    connect(m_sampleMeasureTextField, &QLineEdit::editingFinished, this, [this] {
        if (m_sampleMeasureTextField->isModified())
            sampleMeasureAction(m_sampleMeasureTextField);
    });
    form->addRow(tr("Length on the map:"), m_sampleMeasureTextField);

    m_mapMeasureTextField = new QLineEdit(pane);
    connect(m_mapMeasureTextField, &QLineEdit::editingFinished, this, [this] {
        if (m_mapMeasureTextField->isModified())
            mapMeasureAction(m_mapMeasureTextField);
    });
    m_mapUnitsPopUpButton = new QComboBox(pane);
    for (const ZQUnitLengthPtr& unit : ZQUnitLength::menuUnits()) {
        if (!unit) {
            m_mapUnitsPopUpButton->insertSeparator(m_mapUnitsPopUpButton->count());
            continue;
        }
        m_mapUnitsPopUpButton->addItem(unit->fullName());
        m_mapUnitsPopUpButton->setItemData(m_mapUnitsPopUpButton->count() - 1, QVariant::fromValue(ZQObjectPtr(unit)),
                                           kRepresentedObjectRole);
    }
    connect(m_mapUnitsPopUpButton, &QComboBox::activated, this, [this] { mapUnitsPickerAction(m_mapUnitsPopUpButton); });
    auto* ground = new QHBoxLayout;
    ground->addWidget(m_mapMeasureTextField, 1);
    ground->addWidget(m_mapUnitsPopUpButton);
    form->addRow(tr("stands on the ground for:"), ground);

    m_mapScalePopUpButton = new QComboBox(pane);
    const QLocale locale;
    for (qint64 ratio : presetScales())
        m_mapScalePopUpButton->addItem(QStringLiteral("1:") + locale.toString(ratio), ratio);
    m_mapScalePopUpButton->insertSeparator(m_mapScalePopUpButton->count());
    m_mapScalePopUpButton->addItem(tr("Custom"), qint64(kCustomScaleTag));
    setItemEnabled(*m_mapScalePopUpButton, m_mapScalePopUpButton->count() - 1, false);
    connect(m_mapScalePopUpButton, &QComboBox::activated, this, [this] { mapScalePickerAction(m_mapScalePopUpButton); });
    form->addRow(tr("Scale:"), m_mapScalePopUpButton);

    m_mapLegendPreviewTextLabel = new QLabel(pane);
    m_mapLegendPreviewTextLabel->setWordWrap(true); // a refusal says why in a sentence
    form->addRow(QString(), m_mapLegendPreviewTextLabel);
    return pane;
}

QWidget* QVNCalibrationController::loadWindow()
{
    auto* dialog = new QDialog;
    dialog->setWindowTitle(tr("Map Scale"));
    QWidget* controls = makeControls();

    auto* buttons = new QDialogButtonBox(dialog);
    m_advancedButton = buttons->addButton(tr("Advanced…"), QDialogButtonBox::ResetRole);
    m_advancedButton->setAutoDefault(false);
    m_advancedButton->hide();
    QPushButton* cancel = buttons->addButton(QDialogButtonBox::Cancel);
    QPushButton* ok = buttons->addButton(QDialogButtonBox::Ok);
    ok->setDefault(true);
    connect(m_advancedButton, &QPushButton::clicked, this, [this] { openAdvancedDialogAction(m_advancedButton); });
    connect(cancel, &QPushButton::clicked, this, [this, cancel] { cancelAction(cancel); });
    connect(ok, &QPushButton::clicked, this, [this, ok] { okAction(ok); });

    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(controls);
    layout->addWidget(buttons);
    return dialog;
}

QDialog* QVNCalibrationController::sheet()
{
    return qobject_cast<QDialog*>(window());
}

void QVNCalibrationController::makeControlsIfNeeded()
{
    if (!m_mapScalePopUpButton)
        sheet();
}

void QVNCalibrationController::setNumeratorFieldEnabled(bool enabled)
{
    makeControlsIfNeeded();
    m_sampleMeasureTextField->setEnabled(enabled);
}

// --- Opening and ending ------------------------------------------------------------------------------

void QVNCalibrationController::beginDialogOnParentWindowCalibrationDelegate(QWidget* window,
                                                                           QVNCalibrationDelegate* delegate)
{
    setDelegate(delegate);
    QDialog* dialog = sheet();
    if (delegate)
        delegate->calibrationWillBegin(this);
    loadFromDelegate();
    platform::Sheet::beginSheetModalForWindowCompletionHandler(dialog, window, [this](int code) { sheetDidEnd(code); });
}

void QVNCalibrationController::loadFromDelegate()
{
    if (!m_delegate)
        return;
    const VXQMapScalePtr scale = m_delegate->mapScale();
    if (!scale)
        return;
    setMapScale(scale);
    if (!m_originalScale) {
        const VXQMapScalePtr forCancel = m_delegate->mapScaleForCancel(this);
        m_originalScale = forCancel ? forCancel : scale;
    }
}

void QVNCalibrationController::okAction(QObject*)
{
    platform::Sheet::endSheetReturnCode(sheet(), platform::Sheet::kDefaultReturn);
}

void QVNCalibrationController::cancelAction(QObject*)
{
    platform::Sheet::endSheetReturnCode(sheet(), platform::Sheet::kCancelReturn);
}

void QVNCalibrationController::openAdvancedDialogAction(QObject*)
{
    if (!m_delegate || !m_delegate->canOpenDrawingSizePanel())
        return;
    QVNCalibrationDelegate* delegate = m_delegate;
    cancelAction(this);
    delegate->openDrawingSizePanel(this);
}

void QVNCalibrationController::sheetDidEnd(int returnCode)
{
    if (returnCode == platform::Sheet::kCancelReturn) {
        if (m_delegate && m_originalScale)
            m_delegate->cancelCalibration(this, m_originalScale);
    } else {
        // A length still being typed counts, as if its field had been left.
        for (QLineEdit* field : {m_sampleMeasureTextField, m_mapMeasureTextField}) {
            if (field->isModified())
                Q_EMIT field->editingFinished();
        }
        updateDelegate();
    }
    m_originalScale.reset();
}

// --- The working scale -------------------------------------------------------------------------------

void QVNCalibrationController::setMapScale(const VXQMapScalePtr& scale)
{
    ZQ_ASSERT(scale, QStringLiteral("map scale cannot be nil"));
    m_modifiedScale = std::static_pointer_cast<VXQMapScale>(scale->copy());
    setupWithMapScale(*m_modifiedScale);
    platform::NotificationCenter::defaultCenter().postNotificationName(kQVNCalibrationControllerDidChangeMapScale,
                                                                      this);
}

bool QVNCalibrationController::takeDerivedScale(const VXQMapScalePtr& scale)
{
    if (!scale) {
        // Put back what the fields showed before the refused edit.
        if (m_modifiedScale)
            setupWithMapScale(*m_modifiedScale);
        return false;
    }
    setMapScale(scale);
    return true;
}

bool QVNCalibrationController::setMapUnits(const ZQUnitLengthPtr& units)
{
    return m_modifiedScale && units && takeDerivedScale(m_modifiedScale->mapScaleWithRepresentativeUnits(units));
}

bool QVNCalibrationController::setMapReferenceValue(double value)
{
    if (!m_modifiedScale)
        return false;
    const double points = value * m_modifiedScale->referenceMeasurement()->unit()->conversionFactorForPoints();
    const bool usable = value > 0 && std::isfinite(points) && points <= kLargestTypedLength;
    return takeDerivedScale(usable ? m_modifiedScale->mapScaleWithReferenceValueKeepingScaleFactor(value, false)
                                   : nullptr);
}

bool QVNCalibrationController::setMapRepresentativeValue(double value)
{
    if (!m_modifiedScale)
        return false;
    const double points = value * m_modifiedScale->representedMeasurement()->unit()->conversionFactorForPoints();
    const bool usable = value > 0 && std::isfinite(points) && points <= kLargestTypedLength;
    return takeDerivedScale(usable ? m_modifiedScale->mapScaleWithRepresentativeValueKeepingScaleFactor(value, false)
                                   : nullptr);
}

bool QVNCalibrationController::setMapWithNewScale(double ratio)
{
    if (!m_modifiedScale || !(ratio > 0) || !std::isfinite(ratio))
        return false;
    const VXQMapScalePtr scale = m_modifiedScale->mapScaleWithScale(ratio);
    return takeDerivedScale(scale ? scale->mapScaleByNormalizing() : nullptr);
}

void QVNCalibrationController::updateDelegate()
{
    if (m_delegate && m_modifiedScale)
        m_delegate->setMapScale(m_modifiedScale);
}

void QVNCalibrationController::setNumeratorMeasurement(const VXQMeasurementPtr&)
{
    updateDelegate();
    platform::NotificationCenter::defaultCenter().postNotificationName(kQVNCalibrationControllerDidChangeMapScale,
                                                                      this);
    if (m_modifiedScale)
        setupWithMapScale(*m_modifiedScale);
}

// --- Actions -----------------------------------------------------------------------------------------

std::optional<double> QVNCalibrationController::typedLength(const QLineEdit& field, const ZQUnitLength& unit)
{
    const std::optional<ZQTypedLength> typed = ZQTypedLength::fromText(field.text());
    return typed ? std::optional(typed->valueInUnit(unit)) : std::nullopt;
}

void QVNCalibrationController::refuseTypedLength(const QLineEdit& field)
{
    const QString text = field.text().trimmed();
    takeDerivedScale(nullptr);
    platform::Application::beep();
    showLegendText(
        tr("“%1” is not a length the scale can take: type a positive number, with a unit if you like (200 m).").arg(text));
}

void QVNCalibrationController::showLegendText(const QString& text)
{
    m_mapLegendPreviewTextLabel->setText(text);
    // A window's layout does not grow it for a wrapped label's extra lines; a minimum height does.
    if (m_mapLegendPreviewTextLabel->isVisible())
        m_mapLegendPreviewTextLabel->setMinimumHeight(
            m_mapLegendPreviewTextLabel->heightForWidth(m_mapLegendPreviewTextLabel->width()));
}

void QVNCalibrationController::sampleMeasureAction(QObject*)
{
    if (!m_modifiedScale)
        return;
    const auto value = typedLength(*m_sampleMeasureTextField, *m_modifiedScale->referenceMeasurement()->unit());
    if (value && setMapReferenceValue(*value))
        updateDelegate();
    else
        refuseTypedLength(*m_sampleMeasureTextField);
}

void QVNCalibrationController::mapMeasureAction(QObject*)
{
    if (!m_modifiedScale)
        return;
    const auto value = typedLength(*m_mapMeasureTextField, *m_modifiedScale->representedMeasurement()->unit());
    if (value && setMapRepresentativeValue(*value))
        updateDelegate();
    else
        refuseTypedLength(*m_mapMeasureTextField);
}

void QVNCalibrationController::mapScalePickerAction(QObject*)
{
    const int index = m_mapScalePopUpButton->currentIndex();
    const qint64 tag = m_mapScalePopUpButton->itemData(index, kTagRole).toLongLong();
    const double ratio = tag == kCustomScaleTag
                             ? m_mapScalePopUpButton->itemData(index, kRepresentedObjectRole).toDouble()
                             : double(tag);
    if (setMapWithNewScale(ratio))
        updateDelegate();
}

void QVNCalibrationController::mapUnitsPickerAction(QObject*)
{
    const QVariant represented = m_mapUnitsPopUpButton->currentData(kRepresentedObjectRole);
    if (setMapUnits(std::dynamic_pointer_cast<ZQUnitLength>(represented.value<ZQObjectPtr>())))
        updateDelegate();
}

// --- Showing the scale -------------------------------------------------------------------------------

void QVNCalibrationController::setupWithMapScale(const VXQMapScale& scale)
{
    makeControlsIfNeeded();
    updateScaleMenuWithScale(scale.scale());
    const ZQUnitLength& referenceUnit = *scale.referenceMeasurement()->unit();
    const ZQUnitLength& representedUnit = *scale.representedMeasurement()->unit();
    selectMapUnitsItemForUnits(representedUnit);
    showLegendText(scale.stringValue());
    m_sampleMeasureTextField->setText(lengthText(scale.referenceMeasurement()->value(), referenceUnit));
    m_mapMeasureTextField->setText(lengthText(scale.representedMeasurement()->value(), representedUnit));
    if (m_advancedButton)
        m_advancedButton->setVisible(m_delegate && m_delegate->canOpenDrawingSizePanel());
}

void QVNCalibrationController::updateScaleMenuWithScale(double ratio)
{
    const qint64 whole = wholeRatio(ratio);
    const int preset = m_mapScalePopUpButton->findData(QVariant(whole), kTagRole);
    if (preset >= 0) {
        m_mapScalePopUpButton->setCurrentIndex(preset);
        return;
    }
    const int custom = m_mapScalePopUpButton->findData(QVariant(qint64(kCustomScaleTag)), kTagRole);
    m_mapScalePopUpButton->setItemText(custom, tr("Custom (1:%1)").arg(whole));
    m_mapScalePopUpButton->setItemData(custom, float(ratio), kRepresentedObjectRole);
    setItemEnabled(*m_mapScalePopUpButton, custom, true);
    m_mapScalePopUpButton->setCurrentIndex(custom);
}

void QVNCalibrationController::selectMapUnitsItemForUnits(const ZQUnitLength& units)
{
    for (int i = 0; i < m_mapUnitsPopUpButton->count(); ++i) {
        const auto unit =
            std::dynamic_pointer_cast<ZQUnitLength>(m_mapUnitsPopUpButton->itemData(i, kRepresentedObjectRole).value<ZQObjectPtr>());
        if (unit && unit->isEqualToUnit(&units)) {
            m_mapUnitsPopUpButton->setCurrentIndex(i);
            return;
        }
    }
    m_mapUnitsPopUpButton->setCurrentIndex(-1);
}
