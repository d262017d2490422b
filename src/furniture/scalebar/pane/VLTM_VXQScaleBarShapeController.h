#pragma once

// The inspector pane of the selected scale bars: bars on and off with their unit labels,
// divisions and label intervals, the lower bar's unit, the title, colours, the banded style
// and the bar width. Controls show the selection's common value, or a mixed state when the
// bars differ; every edit goes to all selected bars.

#include "app/sidebar/VLTMGenericObjectController.h"
#include "furniture/MapUnitTags.h"
#include "furniture/scalebar/pane/ScaleBarPaneRules.h"
#include "platform/measurement/ZQUnitLength.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QSpinBox;

namespace platform {
class ColourWell;
}

class VLTM_VXQScaleBarShapeController : public VLTMGenericObjectController {
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
    Q_INVOKABLE void setPrimaryBarEnabled(bool enabled);
    Q_INVOKABLE void setSecondaryBarEnabled(bool enabled);
    Q_INVOKABLE void setTitle(const QString& title);
    Q_INVOKABLE void setUserTitle(const QString& title);
    Q_INVOKABLE void setPrimaryLabel(const QString& label);
    Q_INVOKABLE void setSecondaryLabel(const QString& label);
    Q_INVOKABLE void setIsAlternating(bool alternating);
    Q_INVOKABLE void setExtendedMarkers(bool extended);
    Q_INVOKABLE void setOrdnanceSurveyStyleEnabled(bool enabled);
    Q_INVOKABLE void setTitleEnabled(bool enabled);
    Q_INVOKABLE void setMainColour(const QColor& colour);
    Q_INVOKABLE void setAlternateColour(const QColor& colour);
    Q_INVOKABLE void setPrimaryBarDivisions(qint64 divisions);
    Q_INVOKABLE void setSecondaryBarDivisions(qint64 divisions);
    Q_INVOKABLE void setPrimaryBarSkipInterval(quint64 interval);
    Q_INVOKABLE void setSecondaryBarSkipInterval(quint64 interval);
    Q_INVOKABLE void setBarWidth(double width);
    Q_INVOKABLE void setSecondaryScaleUnits(const QVariant& units);
    Q_INVOKABLE void setLocked(bool locked) override;

    Q_INVOKABLE void setMixedValueForPrimaryBarEnabled();
    Q_INVOKABLE void setMixedValueForSecondaryBarEnabled();
    Q_INVOKABLE void setMixedValueForTitleEnabled();
    Q_INVOKABLE void setMixedValueForIsAlternating();
    Q_INVOKABLE void setMixedValueForExtendedMarkers();
    Q_INVOKABLE void setMixedValueForOrdnanceSurveyStyleEnabled();
    Q_INVOKABLE void setMixedValueForPrimaryLabel();
    Q_INVOKABLE void setMixedValueForSecondaryLabel();
    Q_INVOKABLE void setMixedValueForUserTitle();
    Q_INVOKABLE void setMixedValueForTitle();
    Q_INVOKABLE void setMixedValueForPrimaryBarDivisions();
    Q_INVOKABLE void setMixedValueForSecondaryBarDivisions();
    Q_INVOKABLE void setMixedValueForPrimaryBarSkipInterval();
    Q_INVOKABLE void setMixedValueForSecondaryBarSkipInterval();
    Q_INVOKABLE void setMixedValueForBarWidth();
    Q_INVOKABLE void setMixedValueForMainColour();
    Q_INVOKABLE void setMixedValueForAlternateColour();
    Q_INVOKABLE void setMixedValueForSecondaryScaleUnits();
    Q_INVOKABLE void setMixedValueForLocked();

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
