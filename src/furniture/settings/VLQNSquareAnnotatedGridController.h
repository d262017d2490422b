#pragma once

// The pane of an index grid: spacing, divisions and majors, the grid's colour and switches,
// which edges carry labels and bands, the labels' font and placement. It hosts the panes of
// the two annotations and of the borders and gives them their content as the grid's
// annotations and borders show. Every action changes the grid at once; revertOrCancel puts
// back the sub-panes' values first, then the grid's own. A locked grid takes no value.
//
// The pane's view must be loaded before it gets content (the sheet loads its window first).

#include "app/sidebar/VLTMGenericObjectController.h"
#include "furniture/settings/GridSettingsHost.h"
#include "platform/vantrix/inspector/DisplayBindings.h"

#include <QHash>
#include <memory>

class QAbstractButton;
class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QToolButton;
class VLQNAnnotationController;
class VLQNGridBorderController;
class ZQScrollwheelStepper;

namespace platform {
class ColourWell;
class Menu;
}

class VLQNSquareAnnotatedGridController : public VLTMGenericObjectController,
                                          public GridSettingsHost,
                                          public platform::DisplayBindingSource {
    Q_OBJECT

public:
    VLQNSquareAnnotatedGridController();
    ~VLQNSquareAnnotatedGridController() override;

    const QMetaObject* managedObjectClass() const override;
    QStringList keyPathsOfInterest() const override;
    bool supportsRevertOrCancel() const override { return true; }

    // The grid edited: the first content object, or null.
    ZQObject* grid();
    bool gridIsLocked() override;

    VLQNAnnotationController* horizontalAnnotationController() const { return m_horizontalPane.get(); }
    VLQNAnnotationController* verticalAnnotationController() const { return m_verticalPane.get(); }
    VLQNGridBorderController* borderController() const { return m_borderPane.get(); }

    // The sub-panes first, then the grid is redrawn, then the grid's own values.
    void revertOrCancel() override;

    // --- Fonts --------------------------------------------------------------------------
    // The installed font families, one item each carrying the family as its represented
    // object and sending gridFontAction; made once for the whole application.
    static platform::Menu* fontsMenu();
    // Whether an installed member of the family is bold, or italic.
    static bool hasBoldFont(const QString& family);
    static bool hasItalicFont(const QString& family);
    // The grid's font converted by the shared font manager to have the traits.
    void setCommonTrait(quint32 traitMask);

    // --- Display setters ----------------------------------------------------------------
    // Each observed key, bound to its setter below.
    const platform::DisplayBindings& displayBindings() const override;
    void setGridVisible(bool visible);
    void setHorizontalAnnotation(const QVariant& annotation);
    void setVerticalAnnotation(const QVariant& annotation);
    void setThemeColour(const QColor& colour);
    void setDrawsBorderLine(bool draws);
    void setBorders(const QVariant& borders);
    void setAnnotationEdges(int edges);
    void setFont(const QFont& font);
    void setFontName(const QString& name);
    void setFontSize(double size);
    void setFontColour(const QColor& colour);
    void setDivisionsHidden(bool hidden);
    void setDivisions(double divisions);
    void setSpanMultiplier(double multiplier);
    void setMajors(double majors);
    void setAbbreviatedDrawingUnits(const QVariant& units);
    // From the annotation panes and the border pane.
    void setPlacement(int placement) override;
    void setBorderEdges(int edges) override;

    // --- Actions ------------------------------------------------------------------------
    Q_INVOKABLE void gridSpacingAction(QObject* sender);
    Q_INVOKABLE void gridVisibleAction(QObject* sender);
    Q_INVOKABLE void gridThemeColourAction(QObject* sender);
    Q_INVOKABLE void gridBorderVisibleAction(QObject* sender);
    Q_INVOKABLE void gridPlacementAction(QObject* sender);
    Q_INVOKABLE void annotationEdgesAction(QObject* sender);
    Q_INVOKABLE void borderEdgesAction(QObject* sender);
    Q_INVOKABLE void gridFontAction(QObject* sender);
    Q_INVOKABLE void gridFontSizeAction(QObject* sender);
    Q_INVOKABLE void gridFontColourAction(QObject* sender);
    Q_INVOKABLE void gridFontFaceAction(QObject* sender);
    Q_INVOKABLE void divisionsEnableAction(QObject* sender);
    Q_INVOKABLE void divisionsAction(QObject* sender);
    Q_INVOKABLE void majorsAction(QObject* sender);

    // The controls, for the tests. Edges: 1 left, 2 right, 4 top, 8 bottom.
    ZQScrollwheelStepper* spacingField() const { return m_spacingField; }
    ZQScrollwheelStepper* divisionsField() const { return m_divisionsField; }
    ZQScrollwheelStepper* majorsField() const { return m_majorsField; }
    ZQScrollwheelStepper* fontSizeField() const { return m_fontSizeField; }
    QCheckBox* divisionsCheckbox() const { return m_divisionsCheckbox; }
    QCheckBox* gridVisibleCheckbox() const { return m_gridVisibleCheckbox; }
    QCheckBox* showBorderCheckbox() const { return m_showBorderCheckbox; }
    QCheckBox* annotationEdgeCheckbox(int edge) const { return m_annotationEdgeBoxes.value(edge); }
    QCheckBox* borderEdgeCheckbox(int edge) const { return m_borderEdgeBoxes.value(edge); }
    QLabel* unitsLabel() const { return m_unitsLabel; }
    platform::ColourWell* gridColourWell() const { return m_gridColourWell; }
    platform::ColourWell* fontColourWell() const { return m_fontColourWell; }
    QPushButton* fontPopUp() const { return m_fontPopUp; }
    QToolButton* boldSegment() const { return m_boldSegment; }
    QToolButton* italicSegment() const { return m_italicSegment; }
    QRadioButton* onGridlinesRadio() const { return m_onGridlinesRadio; }
    QRadioButton* betweenGridlinesRadio() const { return m_betweenGridlinesRadio; }

protected:
    QWidget* loadView() override;
    bool shouldSetValueOfObjectForKeyPath(QVariant& value, ZQObject* object, const QString& keyPath) override;

private:
    QWidget* makeGridBox();
    QWidget* makeEdgesBox();
    QWidget* makeLabelsBox();
    // Four check boxes in the order left, top, right, bottom, keyed by their edge.
    QHash<int, QCheckBox*> makeEdgeBoxes(const QByteArray& action);
    static void showEdges(const QHash<int, QCheckBox*>& boxes, int edges);
    // The remembered edges with the sender's edge set or cleared by its state.
    static int edgesFromSender(const QHash<int, QCheckBox*>& boxes, int edges, QObject* sender);

    std::shared_ptr<VLQNAnnotationController> m_horizontalPane;
    std::shared_ptr<VLQNAnnotationController> m_verticalPane;
    std::shared_ptr<VLQNGridBorderController> m_borderPane;
    int m_annotationEdges = 0;
    int m_borderEdges = 0;

    ZQScrollwheelStepper* m_spacingField = nullptr;
    ZQScrollwheelStepper* m_divisionsField = nullptr;
    ZQScrollwheelStepper* m_majorsField = nullptr;
    ZQScrollwheelStepper* m_fontSizeField = nullptr;
    QCheckBox* m_divisionsCheckbox = nullptr;
    QCheckBox* m_gridVisibleCheckbox = nullptr;
    QCheckBox* m_showBorderCheckbox = nullptr;
    QHash<int, QCheckBox*> m_annotationEdgeBoxes;
    QHash<int, QCheckBox*> m_borderEdgeBoxes;
    QLabel* m_unitsLabel = nullptr;
    platform::ColourWell* m_gridColourWell = nullptr;
    platform::ColourWell* m_fontColourWell = nullptr;
    QPushButton* m_fontPopUp = nullptr;
    QToolButton* m_boldSegment = nullptr;
    QToolButton* m_italicSegment = nullptr;
    QRadioButton* m_onGridlinesRadio = nullptr;
    QRadioButton* m_betweenGridlinesRadio = nullptr;
};
