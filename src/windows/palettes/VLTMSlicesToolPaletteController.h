#pragma once

// The slices palette: while a map's slices layer is the active layer it stands in for the
// main tool palette, exactly over its top-left corner, with the select (tag 0) and draw (tag 1)
// slice tools and an export button. Showing it hides the main palette; closing it brings the
// main palette back only when it was visible before. It follows the main window: a map whose
// active layer is a slices layer keeps it up with that layer as delegate; any other main
// window, or the main window closing, takes it down and drops the delegate. One per process, installed as the slices
// layers' SlicesToolPalette.

#include "panels/slices/SlicesToolPalette.h"
#include "panels/slices/VLTMSlicesLayer.h"
#include "platform/ui/WindowController.h"

#include <QPointer>

class QButtonGroup;
class ZQStyleButton;
namespace platform {
struct Notification;
}

class VLTMSlicesToolPaletteController : public platform::WindowController {
    Q_OBJECT

public:
    // The palette the slices layers use, made and installed on first use.
    static VLTMSlicesToolPaletteController* sharedSlicesToolPalette();
    static bool alignToMainTools() { return true; }

    VLTMSlicesToolPaletteController();
    ~VLTMSlicesToolPaletteController() override;

    // The delegate is held weakly: a layer that goes away leaves none.
    void setDelegate(VLTMSlicesLayer* layer) { m_delegate = layer; }
    VLTMSlicesLayer* delegate() const { return m_delegate; }
    void showWindow();
    void close();
    // Selects the button of the mode without telling the delegate.
    void selectToolMode(int mode);
    int selectedToolMode() const;

    // The button of `mode` was pressed: the delegate takes the mode.
    void toolsMatrixAction(int mode);
    // Opens the current map's export sheet with the slices as source.
    Q_INVOKABLE void exportAction(QObject* sender = nullptr);
    void activeWindowChanged(const platform::Notification& notification);
    // The main window went away (closed or hidden): the delegate is dropped, the palette closes.
    void mainWindowResigned(const platform::Notification& notification);

    // The main palette was up when this palette took its place and has not been shown since.
    bool mainToolsPreviouslyVisible() const { return m_mainToolsPreviouslyVisible; }
    ZQStyleButton* toolButton(int mode) const;

protected:
    QWidget* loadWindow() override;
    void windowDidLoad() override;

private:
    void placeOverMainTools();
    // Shows the main palette again when this palette hid it.
    void restoreMainTools();
    static QWidget* mainToolsWindow();

    QButtonGroup* m_toolsMatrix = nullptr;
    QPointer<VLTMSlicesLayer> m_delegate;
    bool m_mainToolsPreviouslyVisible = false;
};
