#pragma once

// A pane without a view of its own: it shows each value on another object, its trampoline
// target, through the setter that target's display bindings name for the key.
// Sheets that are not panes use one to watch and edit an object through the pane machinery.

#include "app/sidebar/VLTMGenericObjectController.h"

class VLTMGenericObjectTrampoline : public VLTMGenericObjectController {
    Q_OBJECT

public:
    VLTMGenericObjectTrampoline();
    ~VLTMGenericObjectTrampoline() override;

    // Not owned; values arriving without a target are dropped.
    ZQObject* trampolineTarget() const { return m_trampolineTarget; }
    void setTrampolineTarget(ZQObject* target) { m_trampolineTarget = target; }

protected:
    ZQObject* displayReceiver() override { return m_trampolineTarget; }

private:
    QPointer<ZQObject> m_trampolineTarget;
};
