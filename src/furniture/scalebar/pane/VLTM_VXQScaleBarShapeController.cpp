#include "furniture/scalebar/pane/VLTM_VXQScaleBarShapeController.h"

#include "furniture/scalebar/VXQScaleBarShape.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/ui/ColourWell.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSpinBox>

namespace {

Qt::CheckState checkState(bool on)
{
    return on ? Qt::Checked : Qt::Unchecked;
}

void showCheckState(QCheckBox* box, Qt::CheckState state)
{
    const QSignalBlocker blocker(box);
    box->setTristate(state == Qt::PartiallyChecked);
    box->setCheckState(state);
}

void showInteger(QAbstractSpinBox* box, const std::function<void()>& set)
{
    const QSignalBlocker blocker(box);
    box->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    set();
}

// An empty field without stepping: the selection differs.
void showMixed(QAbstractSpinBox* box)
{
    const QSignalBlocker blocker(box);
    box->setButtonSymbols(QAbstractSpinBox::NoButtons);
    box->clear();
}

void showText(QLineEdit* field, const QString& text)
{
    const QSignalBlocker blocker(field);
    field->setText(text);
}

void showColour(platform::ColourWell* well, const QColor& colour)
{
    const QSignalBlocker blocker(well);
    well->setColor(colour);
}

} // namespace

VLTM_VXQScaleBarShapeController::VLTM_VXQScaleBarShapeController() = default;
VLTM_VXQScaleBarShapeController::~VLTM_VXQScaleBarShapeController() = default;

const QMetaObject* VLTM_VXQScaleBarShapeController::managedObjectClass() const
{
    return &VXQScaleBarShape::staticMetaObject;
}

QStringList VLTM_VXQScaleBarShapeController::keyPathsOfInterest() const
{
    return {"locked",         "mainColour",         "alternateColour",          "titleEnabled",
            "barWidth",       "ordnanceSurveyStyleEnabled", "extendedMarkers", "isAlternating",
            "title",          "userTitle",          "primaryBarEnabled",        "secondaryBarEnabled",
            "primaryLabel",   "secondaryLabel",     "primaryBarSkipInterval",   "primaryBarDivisions",
            "secondaryBarSkipInterval", "secondaryBarDivisions", "secondaryScaleUnits"};
}

QList<ZQUnitLengthPtr> VLTM_VXQScaleBarShapeController::secondaryUnitsMenu()
{
    return ZQUnitLength::menuUnits();
}

const MapUnitTags& VLTM_VXQScaleBarShapeController::mapUnitTags()
{
    static constexpr MapUnitTag kTags[] = {
        {1, kMetricMeasurementSystem, 10},           {2, kMetricMeasurementSystem, 1000},
        {3, kMetricMeasurementSystem, 1000000},      {4, kImperialMeasurementSystem, 1},
        {5, kImperialMeasurementSystem, 12},         {6, kImperialMeasurementSystem, 36},
        {7, kImperialMeasurementSystem, 63360},      {8, kNauticalMilesMeasurementSystem, 1},
        {9, kQuartzMeasurementSystem, 1},            {10, kImperialMeasurementSystem, 7920},
    };
    static constexpr MapUnitTags tags(kTags);
    return tags;
}

QWidget* VLTM_VXQScaleBarShapeController::loadView()
{
    auto* view = new QWidget;
    auto* form = new QFormLayout(view);
    const auto checkbox = [&](const QString& title, const QString& keyPath) {
        auto* box = new QCheckBox(title, view);
        connectCheckbox(box, keyPath);
        return box;
    };
    const auto field = [&](const QString& keyPath, bool allowingEmpty = false) {
        auto* edit = new QLineEdit(view);
        connectField(edit, keyPath, allowingEmpty);
        return edit;
    };
    const auto counter = [&](int minimum, const QString& keyPath) {
        auto* box = new QSpinBox(view);
        box->setRange(minimum, int(VXQScaleBarShape::kMostDivisions));
        connectSpinBox(box, keyPath);
        return box;
    };

    m_titleEnabled = checkbox(tr("Title"), QStringLiteral("titleEnabled"));
    m_title = field(QStringLiteral("userTitle"), true);
    form->addRow(m_titleEnabled, m_title);

    m_upperBarEnable = checkbox(tr("Upper bar"), QStringLiteral("primaryBarEnabled"));
    m_upperLabel = field(QStringLiteral("primaryLabel"));
    form->addRow(m_upperBarEnable, m_upperLabel);
    m_upperDivisions = counter(0, QStringLiteral("primaryBarDivisions"));
    form->addRow(tr("Divisions:"), m_upperDivisions);
    m_upperSkip = counter(1, QStringLiteral("primaryBarSkipInterval"));
    form->addRow(tr("Label every:"), m_upperSkip);

    m_lowerBarEnable = checkbox(tr("Lower bar"), QStringLiteral("secondaryBarEnabled"));
    m_lowerLabel = field(QStringLiteral("secondaryLabel"));
    form->addRow(m_lowerBarEnable, m_lowerLabel);
    m_units = new QComboBox(view);
    m_units->setToolTip(tr("Map Units"));
    for (const ZQUnitLengthPtr& unit : secondaryUnitsMenu()) {
        if (unit)
            m_units->addItem(unit->fullName());
        else
            m_units->insertSeparator(m_units->count());
    }
    connect(m_units, &QComboBox::activated, this, [this](int index) { unitsAction(index); });
    form->addRow(tr("Units:"), m_units);
    m_lowerDivisions = counter(0, QStringLiteral("secondaryBarDivisions"));
    form->addRow(tr("Divisions:"), m_lowerDivisions);
    m_lowerSkip = counter(1, QStringLiteral("secondaryBarSkipInterval"));
    form->addRow(tr("Label every:"), m_lowerSkip);

    m_extendMarkers = checkbox(tr("Extended markers"), QStringLiteral("extendedMarkers"));
    m_barred = checkbox(tr("Barred"), QStringLiteral("ordnanceSurveyStyleEnabled"));
    m_alternating = checkbox(tr("Alternating colours"), QStringLiteral("isAlternating"));
    form->addRow(m_extendMarkers);
    form->addRow(m_barred);
    form->addRow(m_alternating);

    m_colour = new platform::ColourWell(view);
    m_alternateColour = new platform::ColourWell(view);
    for (auto [well, keyPath] : {std::pair{m_colour, QStringLiteral("mainColour")},
                                 std::pair{m_alternateColour, QStringLiteral("alternateColour")}}) {
        // Captured as copies: clang 14 cannot capture a structured binding.
        connect(well, &platform::ColourWell::colorChanged, this,
                [this, well = well, keyPath = keyPath] { takeCommonValueFromForKeyPath(well, keyPath); });
    }
    form->addRow(tr("Colour:"), m_colour);
    form->addRow(tr("Alternate:"), m_alternateColour);

    m_barWidth = new QDoubleSpinBox(view);
    m_barWidth->setRange(0, VXQGridBorder::kMaximumExtent);
    m_barWidth->setDecimals(1);
    connect(m_barWidth, &QDoubleSpinBox::editingFinished, this, [this] {
        if (!m_barWidth->text().isEmpty())
            takeCommonValueFromForKeyPath(m_barWidth, QStringLiteral("barWidth"));
    });
    form->addRow(tr("Bar width:"), m_barWidth);
    return view;
}

void VLTM_VXQScaleBarShapeController::connectCheckbox(QCheckBox* box, const QString& keyPath)
{
    connect(box, &QCheckBox::clicked, this, [this, box, keyPath] {
        // A click on a mixed box turns it on for all.
        if (box->isTristate()) {
            box->setTristate(false);
            box->setCheckState(Qt::Checked);
        }
        setCommonValueForKeyPath(box->isChecked(), keyPath);
    });
}

void VLTM_VXQScaleBarShapeController::connectField(QLineEdit* field, const QString& keyPath, bool allowingEmpty)
{
    connect(field, &QLineEdit::editingFinished, this, [this, field, keyPath, allowingEmpty] {
        takeCommonValueFromForKeyPathAllowingEmptyValue(field, keyPath, allowingEmpty);
    });
}

void VLTM_VXQScaleBarShapeController::connectSpinBox(QSpinBox* box, const QString& keyPath)
{
    connect(box, &QSpinBox::editingFinished, this, [this, box, keyPath] {
        if (!box->text().isEmpty())
            setCommonValueForKeyPath(box->value(), keyPath);
    });
}

void VLTM_VXQScaleBarShapeController::unitsAction(int index)
{
    const QList<ZQUnitLengthPtr> units = secondaryUnitsMenu();
    if (index < 0 || index >= units.size() || !units.at(index))
        return;
    setCommonValueForKeyPath(QVariant::fromValue(ZQObjectPtr(units.at(index))), QStringLiteral("secondaryScaleUnits"));
    if (ZQUndoManager* undo = undoManager())
        undo->setActionName(tr("Scale Bar Units"));
}

void VLTM_VXQScaleBarShapeController::updateEnabling()
{
    if (!m_title)
        return;
    const ScaleBarPaneEnabling enabling =
        scaleBarPaneEnabling(m_locked, m_titleEnabled->checkState(), m_upperBarEnable->checkState(),
                             m_lowerBarEnable->checkState());
    for (QWidget* control : std::initializer_list<QWidget*>{m_titleEnabled, m_upperBarEnable, m_lowerBarEnable,
                                                           m_extendMarkers, m_barred, m_alternating, m_colour,
                                                           m_barWidth})
        control->setEnabled(enabling.switches);
    m_alternateColour->setEnabled(enabling.switches && m_alternating->checkState() == Qt::Checked);
    m_title->setEnabled(enabling.titleField);
    for (QWidget* control : std::initializer_list<QWidget*>{m_upperLabel, m_upperDivisions, m_upperSkip})
        control->setEnabled(enabling.upperControls);
    for (QWidget* control : std::initializer_list<QWidget*>{m_lowerLabel, m_lowerDivisions, m_lowerSkip, m_units})
        control->setEnabled(enabling.lowerControls);
}

// --- Display setters ---------------------------------------------------------------------------

void VLTM_VXQScaleBarShapeController::setPrimaryBarEnabled(bool enabled)
{
    view();
    showCheckState(m_upperBarEnable, checkState(enabled));
    updateEnabling();
}

void VLTM_VXQScaleBarShapeController::setSecondaryBarEnabled(bool enabled)
{
    view();
    showCheckState(m_lowerBarEnable, checkState(enabled));
    updateEnabling();
}

void VLTM_VXQScaleBarShapeController::setTitle(const QString& title)
{
    view();
    m_title->setPlaceholderText(title);
}

void VLTM_VXQScaleBarShapeController::setUserTitle(const QString& title)
{
    view();
    showText(m_title, title);
}

void VLTM_VXQScaleBarShapeController::setPrimaryLabel(const QString& label)
{
    view();
    showText(m_upperLabel, label);
}

void VLTM_VXQScaleBarShapeController::setSecondaryLabel(const QString& label)
{
    view();
    showText(m_lowerLabel, label);
}

void VLTM_VXQScaleBarShapeController::setIsAlternating(bool alternating)
{
    view();
    showCheckState(m_alternating, checkState(alternating));
    updateEnabling();
}

void VLTM_VXQScaleBarShapeController::setExtendedMarkers(bool extended)
{
    view();
    showCheckState(m_extendMarkers, checkState(extended));
}

void VLTM_VXQScaleBarShapeController::setOrdnanceSurveyStyleEnabled(bool enabled)
{
    view();
    showCheckState(m_barred, checkState(enabled));
}

void VLTM_VXQScaleBarShapeController::setTitleEnabled(bool enabled)
{
    view();
    showCheckState(m_titleEnabled, checkState(enabled));
    updateEnabling();
}

void VLTM_VXQScaleBarShapeController::setMainColour(const QColor& colour)
{
    view();
    showColour(m_colour, colour);
}

void VLTM_VXQScaleBarShapeController::setAlternateColour(const QColor& colour)
{
    view();
    showColour(m_alternateColour, colour);
}

void VLTM_VXQScaleBarShapeController::setPrimaryBarDivisions(qint64 divisions)
{
    view();
    showInteger(m_upperDivisions, [&] { m_upperDivisions->setValue(int(divisions)); });
}

void VLTM_VXQScaleBarShapeController::setSecondaryBarDivisions(qint64 divisions)
{
    view();
    showInteger(m_lowerDivisions, [&] { m_lowerDivisions->setValue(int(divisions)); });
}

void VLTM_VXQScaleBarShapeController::setPrimaryBarSkipInterval(quint64 interval)
{
    view();
    showInteger(m_upperSkip, [&] { m_upperSkip->setValue(int(std::min<quint64>(interval, INT_MAX))); });
}

void VLTM_VXQScaleBarShapeController::setSecondaryBarSkipInterval(quint64 interval)
{
    view();
    showInteger(m_lowerSkip, [&] { m_lowerSkip->setValue(int(std::min<quint64>(interval, INT_MAX))); });
}

void VLTM_VXQScaleBarShapeController::setBarWidth(double width)
{
    view();
    showInteger(m_barWidth, [&] { m_barWidth->setValue(width); });
}

void VLTM_VXQScaleBarShapeController::setSecondaryScaleUnits(const QVariant& value)
{
    view();
    const auto* units = qobject_cast<const ZQUnitLength*>(platform::objectFromVariant(value));
    if (!units)
        return;
    const QList<ZQUnitLengthPtr> menu = secondaryUnitsMenu();
    for (qsizetype i = 0; i < menu.size(); ++i) {
        if (menu.at(i) && menu.at(i)->isEqualToUnit(units)) {
            const QSignalBlocker blocker(m_units);
            m_units->setCurrentIndex(int(i));
            return;
        }
    }
}

void VLTM_VXQScaleBarShapeController::setLocked(bool locked)
{
    view();
    m_locked = checkState(locked);
    updateEnabling();
}

// --- Mixed values ------------------------------------------------------------------------------

void VLTM_VXQScaleBarShapeController::setMixedValueForPrimaryBarEnabled()
{
    view();
    showCheckState(m_upperBarEnable, Qt::PartiallyChecked);
    updateEnabling();
}

void VLTM_VXQScaleBarShapeController::setMixedValueForSecondaryBarEnabled()
{
    view();
    showCheckState(m_lowerBarEnable, Qt::PartiallyChecked);
    updateEnabling();
}

void VLTM_VXQScaleBarShapeController::setMixedValueForTitleEnabled()
{
    view();
    showCheckState(m_titleEnabled, Qt::PartiallyChecked);
    updateEnabling();
}

void VLTM_VXQScaleBarShapeController::setMixedValueForIsAlternating()
{
    view();
    showCheckState(m_alternating, Qt::PartiallyChecked);
    updateEnabling();
}

void VLTM_VXQScaleBarShapeController::setMixedValueForExtendedMarkers()
{
    view();
    showCheckState(m_extendMarkers, Qt::PartiallyChecked);
}

void VLTM_VXQScaleBarShapeController::setMixedValueForOrdnanceSurveyStyleEnabled()
{
    view();
    showCheckState(m_barred, Qt::PartiallyChecked);
}

void VLTM_VXQScaleBarShapeController::setMixedValueForPrimaryLabel()
{
    setPrimaryLabel({});
}

void VLTM_VXQScaleBarShapeController::setMixedValueForSecondaryLabel()
{
    setSecondaryLabel({});
}

void VLTM_VXQScaleBarShapeController::setMixedValueForUserTitle()
{
    setUserTitle({});
}

void VLTM_VXQScaleBarShapeController::setMixedValueForTitle()
{
    setTitle({});
}

void VLTM_VXQScaleBarShapeController::setMixedValueForPrimaryBarDivisions()
{
    view();
    showMixed(m_upperDivisions);
}

void VLTM_VXQScaleBarShapeController::setMixedValueForSecondaryBarDivisions()
{
    view();
    showMixed(m_lowerDivisions);
}

void VLTM_VXQScaleBarShapeController::setMixedValueForPrimaryBarSkipInterval()
{
    view();
    showMixed(m_upperSkip);
}

void VLTM_VXQScaleBarShapeController::setMixedValueForSecondaryBarSkipInterval()
{
    view();
    showMixed(m_lowerSkip);
}

void VLTM_VXQScaleBarShapeController::setMixedValueForBarWidth()
{
    view();
    showMixed(m_barWidth);
}

void VLTM_VXQScaleBarShapeController::setMixedValueForMainColour()
{
    setMainColour(Qt::transparent);
}

void VLTM_VXQScaleBarShapeController::setMixedValueForAlternateColour()
{
    setAlternateColour(Qt::transparent);
}

void VLTM_VXQScaleBarShapeController::setMixedValueForSecondaryScaleUnits()
{
    view();
    const QSignalBlocker blocker(m_units);
    m_units->setCurrentIndex(-1);
}

void VLTM_VXQScaleBarShapeController::setMixedValueForLocked()
{
    setLocked(false);
}

const platform::DisplayBindings& VLTM_VXQScaleBarShapeController::displayBindings() const
{
    using Self = VLTM_VXQScaleBarShapeController;
    static const auto bindings = platform::DisplayBindings()
        .bind(QStringLiteral("primaryBarEnabled"), &Self::setPrimaryBarEnabled, &Self::setMixedValueForPrimaryBarEnabled)
        .bind(QStringLiteral("secondaryBarEnabled"), &Self::setSecondaryBarEnabled, &Self::setMixedValueForSecondaryBarEnabled)
        .bind(QStringLiteral("title"), &Self::setTitle, &Self::setMixedValueForTitle)
        .bind(QStringLiteral("userTitle"), &Self::setUserTitle, &Self::setMixedValueForUserTitle)
        .bind(QStringLiteral("primaryLabel"), &Self::setPrimaryLabel, &Self::setMixedValueForPrimaryLabel)
        .bind(QStringLiteral("secondaryLabel"), &Self::setSecondaryLabel, &Self::setMixedValueForSecondaryLabel)
        .bind(QStringLiteral("isAlternating"), &Self::setIsAlternating, &Self::setMixedValueForIsAlternating)
        .bind(QStringLiteral("extendedMarkers"), &Self::setExtendedMarkers, &Self::setMixedValueForExtendedMarkers)
        .bind(QStringLiteral("ordnanceSurveyStyleEnabled"), &Self::setOrdnanceSurveyStyleEnabled, &Self::setMixedValueForOrdnanceSurveyStyleEnabled)
        .bind(QStringLiteral("titleEnabled"), &Self::setTitleEnabled, &Self::setMixedValueForTitleEnabled)
        .bind(QStringLiteral("mainColour"), &Self::setMainColour, &Self::setMixedValueForMainColour)
        .bind(QStringLiteral("alternateColour"), &Self::setAlternateColour, &Self::setMixedValueForAlternateColour)
        .bind(QStringLiteral("primaryBarDivisions"), &Self::setPrimaryBarDivisions, &Self::setMixedValueForPrimaryBarDivisions)
        .bind(QStringLiteral("secondaryBarDivisions"), &Self::setSecondaryBarDivisions, &Self::setMixedValueForSecondaryBarDivisions)
        .bind(QStringLiteral("primaryBarSkipInterval"), &Self::setPrimaryBarSkipInterval, &Self::setMixedValueForPrimaryBarSkipInterval)
        .bind(QStringLiteral("secondaryBarSkipInterval"), &Self::setSecondaryBarSkipInterval, &Self::setMixedValueForSecondaryBarSkipInterval)
        .bind(QStringLiteral("barWidth"), &Self::setBarWidth, &Self::setMixedValueForBarWidth)
        .bind(QStringLiteral("secondaryScaleUnits"), &Self::setSecondaryScaleUnits, &Self::setMixedValueForSecondaryScaleUnits)
        .bind(QStringLiteral("locked"), &Self::setLocked, &Self::setMixedValueForLocked);
    return bindings;
}
