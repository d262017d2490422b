#include "platform/vantrix/model/KeyValueUndo.h"

#include "platform/foundation/ZQUndoManager.h"

namespace platform {

void registerUndoForKey(ZQUndoManager* undoManager, ZQObject& owner, const QString& key, const QVariant& oldValue)
{
    if (!undoManager)
        return;
    ZQObject* target = &owner;
    std::shared_ptr<ZQObject> keeper = owner.weak_from_this().lock();
    undoManager->registerUndoWithTargetHandler(target, [target, keeper, key, oldValue] {
        target->setValueForKey(oldValue, key);
    });
}

} // namespace platform
