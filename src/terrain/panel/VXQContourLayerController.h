#pragma once

// The terrain panel: one floating tool window for the whole application that sets up the
// active terrain layer (brush tool and size, level height, contour interval, line width and
// colours, base height and units, smoothing and simplification, the cross section). The
// layer hands itself over when it becomes active and takes itself back when it resigns.
//
// The panel follows its layer by observing the layer's observable keys (initial and new
// values): each value arrives under its key and reaches the updater of that name; keys
// without one (such as "heightMap") are ignored. Controls write to the layer through its
// setters, which refuse what is out of range and ignore what is unchanged. The panel does not
// keep its layer alive: when the layer goes (its document closed), the panel hides. It follows
// the map in front: when a window showing a map becomes the main window, the panel takes that
// map's active terrain layer and shows, or hides when the active layer is of another kind.

#include "platform/foundation/KeyValueObserving.h"
#include "platform/ui/WindowController.h"

#include <QPointer>
#include <functional>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QSlider;
class ZQContourLayer;
namespace platform {
class ColourWell;
}

class VXQContourLayerController : public platform::WindowController, public platform::KeyValueObserver {
    Q_OBJECT

public:
    static constexpr int kLargestBrushSize = 31;

    VXQContourLayerController();
    ~VXQContourLayerController() override;

    static VXQContourLayerController* sharedContourLayerController();
    // Opens the help book at a page; the help lives above the terrain library, which installs
    // it at launch. Without one, "?" only logs what it would open.
    using HelpHandler = std::function<void(const QString& page)>;
    static void setHelpHandler(HelpHandler handler);
    static constexpr const char* kHelpPage = "contours-layer";
    static QString windowNibName() { return QStringLiteral("QuorvaneContourControlUI"); }

    ZQContourLayer* contourLayer() const { return m_contourLayer; }
    void setContourLayer(ZQContourLayer* layer);
    // Loads every control from the layer; none hides the panel.
    void setUpWithLayer(ZQContourLayer* layer);
    void showWindow();
    void hideWindow();

    // Actions (sender: the control).
    Q_INVOKABLE void sectionControlAction(QObject* sender);
    Q_INVOKABLE void terrainToolChoiceAction(QObject* sender);
    Q_INVOKABLE void terrainToolSizeAction(QObject* sender);
    Q_INVOKABLE void plusContourColourAction(QObject* sender);
    Q_INVOKABLE void minusControurColourAction(QObject* sender);
    Q_INVOKABLE void baseHeightAction(QObject* sender);
    Q_INVOKABLE void unitsAction(QObject* sender);
    Q_INVOKABLE void smoothAction(QObject* sender);
    Q_INVOKABLE void simplifyAction(QObject* sender);
    Q_INVOKABLE void lineWidthAction(QObject* sender);
    Q_INVOKABLE void contourIntervalAction(QObject* sender);
    Q_INVOKABLE void fixedHeightAction(QObject* sender);
    Q_INVOKABLE void contourHelpAction(QObject* sender);

    // Control updaters, reached by key through key-value coding.
    Q_INVOKABLE void setSimplifiesContours(bool simplifies);
    Q_INVOKABLE void setSmoothsContours(bool smooths);
    Q_INVOKABLE void setContourColour(const QColor& colour);
    Q_INVOKABLE void setNegativeContourColour(const QColor& colour);
    Q_INVOKABLE void setContourLineWidth(double width);
    Q_INVOKABLE void setContourInterval(double interval);
    Q_INVOKABLE void setBaseHeight(double height);
    Q_INVOKABLE void setUnits(const QVariant& units);
    Q_INVOKABLE void setShowsCrossSection(bool shows);
    Q_INVOKABLE void setCrossSectionIsVertical(bool vertical);
    Q_INVOKABLE void setTerrainHeightForLevelMode(double height);
    void setValueForUndefinedKey(const QVariant& value, const QString& key) override {}

    void observeValueForKeyPathOfObjectChangeContext(const QString& keyPath, ZQObject* object,
                                                     const platform::KeyValueChange& change, void* context) override;

    // The controls, for tests and the window's layout.
    QButtonGroup* sectionControlMatrix() const { return m_sectionControlMatrix; }
    QButtonGroup* terrainToolChooser() const { return m_terrainToolChooser; }
    platform::ColourWell* plusContoursColourWell() const { return m_plusContoursColourWell; }
    platform::ColourWell* minusContoursColourWell() const { return m_minusContoursColourWell; }
    QDoubleSpinBox* baseHeightTextField() const { return m_baseHeightTextField; }
    QLabel* unitsTextLabel() const { return m_unitsTextLabel; }
    QComboBox* unitsComboBox() const { return m_unitsComboBox; }
    QSlider* terrainToolSizeSlider() const { return m_terrainToolSizeSlider; }
    QCheckBox* simplifyCheckbox() const { return m_simplifyCheckbox; }
    QCheckBox* smoothCheckbox() const { return m_smoothCheckbox; }
    QDoubleSpinBox* lineWidthField() const { return m_lineWidthField; }
    QDoubleSpinBox* contourIntervalField() const { return m_contourIntervalField; }
    QDoubleSpinBox* fixedHeightField() const { return m_fixedHeightField; }

protected:
    QWidget* loadWindow() override;
    void windowDidLoad() override;

private:
    void followMapInWindow(QWidget* window);
    void startObservingLayer(ZQContourLayer* layer);
    void stopObservingLayer(ZQContourLayer* layer);
    void selectSectionCell();
    void setColourWells();
    void refreshBaseHeightField();

    QButtonGroup* m_sectionControlMatrix = nullptr;
    QButtonGroup* m_terrainToolChooser = nullptr;
    platform::ColourWell* m_plusContoursColourWell = nullptr;
    platform::ColourWell* m_minusContoursColourWell = nullptr;
    QDoubleSpinBox* m_baseHeightTextField = nullptr;
    QLabel* m_unitsTextLabel = nullptr;
    QComboBox* m_unitsComboBox = nullptr;
    QSlider* m_terrainToolSizeSlider = nullptr;
    QCheckBox* m_simplifyCheckbox = nullptr;
    QCheckBox* m_smoothCheckbox = nullptr;
    QDoubleSpinBox* m_lineWidthField = nullptr;
    QDoubleSpinBox* m_contourIntervalField = nullptr;
    QDoubleSpinBox* m_fixedHeightField = nullptr;
    QAbstractButton* m_helpButton = nullptr;
    bool m_placed = false;
    QPointer<ZQContourLayer> m_contourLayer;
    // Hides the panel when its layer goes with its document.
    QMetaObject::Connection m_layerDestroyed;
};
