#pragma once

// The drawing set-up sheet as the map document sees it. The sheet lives in a later library and
// is made through WindowServices::makeDrawingSetupSheet; the document is its delegate and
// answers the set-up messages (dictionaryOfDrawingSettings, performDrawingSetUp...).

#include <QVariantMap>

class QWidget;
class ZQQuorvaneDocument;

class DrawingSetupSheet {
public:
    enum Page { kDrawingPage = 0, kGraphPaperPage = 1, kIndexGridPage = 2 };

    virtual ~DrawingSetupSheet() = default;

    // Loads the delegate's settings and runs the sheet on `window` at `page`, returning at once.
    virtual void beginDialogWithParentWindowDelegateInitialPage(QWidget* window, ZQQuorvaneDocument* delegate,
                                                                int page) = 0;
    // The settings the drawing had when the sheet opened (or at the last Apply).
    virtual QVariantMap originalSettings() const = 0;
};
