#pragma once

// The inspector pane of the selected scale bars: bars on and off with their unit labels,
// divisions and label intervals, the lower bar's unit, the title, colours, the banded style
// and the bar width. Controls show the selection's common value, or a mixed state when the
// bars differ; every edit goes to all selected bars.

#include "app/sidebar/VLTMGenericObjectController.h"
#include "furniture/MapUnitTags.h"
#include "furniture/scalebar/pane/ScaleBarPaneRules.h"
#include "platform/measurement/ZQUnitLength.h"
#include "platform/vantrix/inspector/DisplayBindings.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QSpinBox;

namespace platform {
class ColourWell;
}

class VLTM_VXQScaleBarShapeController : public VLTMGenericObjectController, public platform::DisplayBindingSource {
    Q_OBJECT

public:
    VLTM_VXQScaleBarShapeController();
    ~VLTM_VXQScaleBarShapeController() override;

    const QMetaObject* managedObjectClass() const override;
    QStringList keyPathsOfInterest() const override;
    // The units the lower bar may measure in, in menu order; null entries are separators.
    static QList<ZQUnitLengthPtr> secondaryUnitsMenu();
    // The numbered units of older pop-ups, 1 (cm) to 10 (furlongs); the menu above names units
    // by their objects instead.
    static const MapUnitTags& mapUnitTags();

    // --- Display setters ---------------------------------------------------------------
    // Each observed key, bound to its setter below.
    const platform::DisplayBindings& displayBindings() const override;
    void setPrimaryBarEnabled(bool enabled);
    void setSecondaryBarEnabled(bool enabled);
    void setTitle(const QString& title);
    void setUserTitle(const QString& title);
    void setPrimaryLabel(const QString& label);
    void setSecondaryLabel(const QString& label);
    void setIsAlternating(bool alternating);
    void setExtendedMarkers(bool extended);
    void setOrdnanceSurveyStyleEnabled(bool enabled);
    void setTitleEnabled(bool enabled);
    void setMainColour(const QColor& colour);
    void setAlternateColour(const QColor& colour);
    void setPrimaryBarDivisions(qint64 divisions);
    void setSecondaryBarDivisions(qint64 divisions);
    void setPrimaryBarSkipInterval(quint64 interval);
    void setSecondaryBarSkipInterval(quint64 interval);
    void setBarWidth(double width);
    void setSecondaryScaleUnits(const QVariant& units);
    Q_INVOKABLE void setLocked(bool locked) override;

    void setMixedValueForPrimaryBarEnabled();
    void setMixedValueForSecondaryBarEnabled();
    void setMixedValueForTitleEnabled();
    void setMixedValueForIsAlternating();
    void setMixedValueForExtendedMarkers();
    void setMixedValueForOrdnanceSurveyStyleEnabled();
    void setMixedValueForPrimaryLabel();
    void setMixedValueForSecondaryLabel();
    void setMixedValueForUserTitle();
    void setMixedValueForTitle();
    void setMixedValueForPrimaryBarDivisions();
    void setMixedValueForSecondaryBarDivisions();
    void setMixedValueForPrimaryBarSkipInterval();
    void setMixedValueForSecondaryBarSkipInterval();
    void setMixedValueForBarWidth();
    void setMixedValueForMainColour();
    void setMixedValueForAlternateColour();
    void setMixedValueForSecondaryScaleUnits();
    void setMixedValueForLocked();

    // --- Controls (made with the view) ---------------------------------------------------
    QCheckBox* upperBarEnableCheckbox() const { return m_upperBarEnable; }
    QCheckBox* lowerBarEnableCheckbox() const { return m_lowerBarEnable; }
    QCheckBox* titleEnabledCheckbox() const { return m_titleEnabled; }
    QCheckBox* extendMarkersCheckbox() const { return m_extendMarkers; }
    QCheckBox* barredCheckbox() const { return m_barred; }
    QCheckBox* alternatingCheckbox() const { return m_alternating; }
    QLineEdit* titleTextField() const { return m_title; }
    QLineEdit* upperLabelTextField() const { return m_upperLabel; }
    QLineEdit* lowerLabelTextField() const { return m_lowerLabel; }
    platform::ColourWell* colourWell() const { return m_colour; }
    platform::ColourWell* alternateColourWell() const { return m_alternateColour; }
    QComboBox* unitsPopUpButton() const { return m_units; }
    QSpinBox* upperDivisionsField() const { return m_upperDivisions; }
    QSpinBox* lowerDivisionsField() const { return m_lowerDivisions; }
    QSpinBox* upperLabelSkipField() const { return m_upperSkip; }
    QSpinBox* lowerLabelSkipField() const { return m_lowerSkip; }
    QDoubleSpinBox* barWidthField() const { return m_barWidth; }

protected:
    QWidget* loadView() override;

private:
    void connectCheckbox(QCheckBox* box, const QString& keyPath);
    void connectField(QLineEdit* field, const QString& keyPath, bool allowingEmpty = false);
    void connectSpinBox(QSpinBox* box, const QString& keyPath);
    void unitsAction(int index);
    // Applies the enabling rules to the controls.
    void updateEnabling();

    QCheckBox* m_upperBarEnable = nullptr;
    QCheckBox* m_lowerBarEnable = nullptr;
    QLineEdit* m_title = nullptr;
    QLineEdit* m_upperLabel = nullptr;
    QLineEdit* m_lowerLabel = nullptr;
    QCheckBox* m_extendMarkers = nullptr;
    QCheckBox* m_barred = nullptr;
    QCheckBox* m_alternating = nullptr;
    QCheckBox* m_titleEnabled = nullptr;
    platform::ColourWell* m_colour = nullptr;
    platform::ColourWell* m_alternateColour = nullptr;
    QComboBox* m_units = nullptr;
    QSpinBox* m_lowerDivisions = nullptr;
    QSpinBox* m_lowerSkip = nullptr;
    QSpinBox* m_upperSkip = nullptr;
    QSpinBox* m_upperDivisions = nullptr;
    QDoubleSpinBox* m_barWidth = nullptr;
    Qt::CheckState m_locked = Qt::Unchecked;
};
