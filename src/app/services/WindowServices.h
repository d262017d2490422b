#pragma once

// What the application delegate and the map document ask of the windows and media libraries
// built above them, which install these at start-up. Until then each service is unset: the
// delegate's launch step logs that this build lacks it, and the document goes without.

#include <QImage>
#include <QUrl>
#include <functional>
#include <memory>

class BufferSheet;
class DrawingSetupSheet;
class LinearDuplicateSheet;
class MapPrintOperation;
class PolarDuplicateSheet;
class QObject;
class QWidget;
class TransformAdjustmentDelegate;
class TransformAdjustmentView;
class VXDrawingView;

struct WindowServices {
    // Starts loading the system's photo library in the background; the result is not kept.
    std::function<void()> startLoadingPhotoLibrary;
    // Shows the media browser's window, first putting it back to its factory state when asked.
    std::function<void(bool resetToFactoryState)> showMediaBrowser;
    // A new drawing set-up sheet; a document makes one and keeps it.
    std::function<std::shared_ptr<DrawingSetupSheet>()> makeDrawingSetupSheet;
    // The geometry commands' sheets (GeometryCommandSheets.h): a document keeps one duplicate
    // sheet of each kind and makes a buffer sheet for each use.
    std::function<std::shared_ptr<LinearDuplicateSheet>()> makeLinearDuplicateSheet;
    std::function<std::shared_ptr<PolarDuplicateSheet>()> makePolarDuplicateSheet;
    std::function<std::shared_ptr<BufferSheet>()> makeBufferSheet;
    // The map's print options as a tab of the print dialog, acting on `operation`; the dialog
    // owns the widget.
    std::function<QWidget*(MapPrintOperation& operation)> makePrintOptionsTab;
    // Offers `image` to be shared, in a menu beside `anchor`.
    std::function<void(const QImage& image, QWidget* anchor)> showSharingMenu;
    // The reposition-content overlay over `view`, showing `preview` (the whole drawing); the
    // view owns it.
    std::function<TransformAdjustmentView*(VXDrawingView& view, const QImage& preview,
                                           TransformAdjustmentDelegate* delegate)>
        makeTransformAdjustmentView;

    // Shows `url` in the help window, titled `title`; a non-empty `homePage` becomes its home.
    std::function<void(const QUrl& url, const QUrl& homePage, const QString& title)> showHelpPage;

    // The main tool palette: shows it or, when it is visible, hides it; enables it once launched;
    // restores its frame and visibility at launch and saves them at termination.
    std::function<void()> toggleToolPalette;
    std::function<void()> enableToolPalette;
    std::function<void()> restoreToolPaletteState;
    std::function<void()> saveToolPaletteState;

    // Hands the classes the preferences stored for them; runs once the tools are registered.
    std::function<void()> applyStoredPreferences;
    // The preferences window.
    std::function<void()> showPreferences;
    // The welcome window, and whether the user wants it at launch.
    std::function<void()> showWelcomeWindow;
    std::function<bool()> showsWelcomeWindowAtLaunch;
    // Whether the template chooser is to show when the application starts.
    std::function<bool()> shouldShowTemplateChooserAtLaunch;
    // Shows the template chooser, which hands the template the user chooses to `delegate`
    // (its invokable `openSelectedTemplateURL(QUrl)`).
    std::function<void(QObject* delegate)> showTemplateChooser;

    static WindowServices& installed();
};
