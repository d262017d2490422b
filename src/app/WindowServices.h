#pragma once

// What the application delegate and the map document ask of the windows and media libraries
// built above them, which install these at start-up. Until then each service is unset: the
// delegate's launch step logs that this build lacks it, and the document goes without.

#include <QImage>
#include <functional>
#include <memory>

class DrawingSetupSheet;
class MapPrintOperation;
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

    static WindowServices& installed();
};
