#pragma once

// The pane of an index grid's border bands: band width and gap, the extended-marker, barred
// and alternating switches and the two fill colours. Its content is the grid's whole list of
// borders, so an edit reaches every band; revertOrCancel puts back what it changed. The
// edges that carry bands are shown by the grid pane, next to the edges that carry labels.

#include "app/sidebar/VLTMGenericObjectController.h"
#include "platform/vantrix/inspector/DisplayBindings.h"


class QCheckBox;
class GridSettingsHost;
class ZQScrollwheelStepper;

namespace platform {
class ColourWell;
}

class VLQNGridBorderController : public VLTMGenericObjectController, public platform::DisplayBindingSource {
    Q_OBJECT

public:
    VLQNGridBorderController();
    ~VLQNGridBorderController() override;

    const QMetaObject* managedObjectClass() const override;
    QStringList keyPathsOfInterest() const override;
    bool supportsRevertOrCancel() const override { return true; }

    // The first border edited, or null.
    ZQObject* border();

    // The grid pane; it outlives the pane. Without one every value is taken.
    GridSettingsHost* gridController() const { return m_gridController; }
    void setGridController(GridSettingsHost* controller) { m_gridController = controller; }

    // --- Display setters ----------------------------------------------------------------
    // Each observed key, bound to its setter below.
    const platform::DisplayBindings& displayBindings() const override;
    void setWidth(double width);
    void setOffset(double offset);
    void setIsAlternating(bool alternating);
    void setExtendedMarkers(bool extended);
    void setOrdnanceSurveyStyleEnabled(bool barred);
    void setFillColour(const QColor& colour);
    void setAlternateFillColour(const QColor& colour);
    // Passed on to the grid pane.
    void setBorderEdges(int edges);

    // --- Actions ------------------------------------------------------------------------
    Q_INVOKABLE void borderWidthAction(QObject* sender);
    Q_INVOKABLE void borderGapAction(QObject* sender);
    Q_INVOKABLE void borderExtendedAction(QObject* sender);
    Q_INVOKABLE void borderBarredAction(QObject* sender);
    Q_INVOKABLE void borderAlternatingAction(QObject* sender);
    Q_INVOKABLE void borderFirstColourAction(QObject* sender);
    Q_INVOKABLE void borderSecondColourAction(QObject* sender);

    // The controls, for the tests.
    ZQScrollwheelStepper* widthField() const { return m_widthField; }
    ZQScrollwheelStepper* gapField() const { return m_gapField; }
    QCheckBox* extendedCheckbox() const { return m_extendedCheckbox; }
    QCheckBox* barredCheckbox() const { return m_barredCheckbox; }
    QCheckBox* alternatingCheckbox() const { return m_alternatingCheckbox; }
    platform::ColourWell* firstColourWell() const { return m_firstColourWell; }
    platform::ColourWell* secondColourWell() const { return m_secondColourWell; }

protected:
    QWidget* loadView() override;
    // Nothing is set while the grid is locked.
    bool shouldSetValueOfObjectForKeyPath(QVariant& value, ZQObject* object, const QString& keyPath) override;

private:
    GridSettingsHost* m_gridController = nullptr;
    ZQScrollwheelStepper* m_widthField = nullptr;
    ZQScrollwheelStepper* m_gapField = nullptr;
    QCheckBox* m_extendedCheckbox = nullptr;
    QCheckBox* m_barredCheckbox = nullptr;
    QCheckBox* m_alternatingCheckbox = nullptr;
    platform::ColourWell* m_firstColourWell = nullptr;
    platform::ColourWell* m_secondColourWell = nullptr;
};
