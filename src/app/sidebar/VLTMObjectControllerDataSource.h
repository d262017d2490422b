#pragma once

// What feeds a generic pane: the objects to edit and, when it has them, the undo manager
// that edits register with and the formatter for lengths in the current display units.
// Mixed into a QObject; panes test conformance with dynamic_cast.

#include "platform/foundation/ZQObject.h"
#include "platform/ui/NumberFormatter.h"

#include <QList>

class VLTMGenericObjectController;
class ZQUndoManager;

class VLTMObjectControllerDataSource {
public:
    virtual ~VLTMObjectControllerDataSource() = default;

    virtual QList<ZQObjectPtr> selectedContentForObjectController(VLTMGenericObjectController* controller) = 0;

    // Optional: null when the source has none.
    virtual ZQUndoManager* undoManager() const { return nullptr; }
    // The formatter of lengths in the display units the user chose, or null.
    virtual std::shared_ptr<platform::NumberFormatter> numberFormatterForCurrentDisplayUnits() const { return nullptr; }
};
