#include "LabelTestSupport.h"

#include "platform/foundation/ClassRegistry.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/vantrix/model/ArchiveReader.h"

namespace labeltest {

void Host::addTextLabel(const VXQTextLabelPtr& label)
{
    ZQ_ASSERT(label, QStringLiteral("cannot add a nil label"));
    if (labels.contains(label.get()))
        return;
    if (ZQUndoManager* undo = undoManager()) {
        const auto self = std::static_pointer_cast<Host>(shared_from_this());
        undo->registerUndoWithTargetHandler(this, [self, label] { self->removeTextLabel(label); });
    }
    labels.append(label);
    label->notifyVisualChange();
}

void Host::removeTextLabel(const VXQTextLabelPtr& label)
{
    if (!labels.contains(label.get()))
        return;
    if (ZQUndoManager* undo = undoManager()) {
        const auto self = std::static_pointer_cast<Host>(shared_from_this());
        undo->registerUndoWithTargetHandler(this, [self, label] { self->addTextLabel(label); });
    }
    label->notifyVisualChange();
    labels.deselect(label.get());
    labels.remove(label);
}

void Host::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    VXDrawableShape::encodeWithCoder(coder);
    QVariantList list;
    for (const VXQTextLabelPtr& label : labels.labels())
        list.append(QVariant::fromValue(ZQObjectPtr(label)));
    coder.encodeObject(list, QStringLiteral("Host_labels"));
}

void Host::initWithCoder(platform::KeyedUnarchiver& coder)
{
    VXDrawableShape::initWithCoder(coder);
    setTextLabels(platform::ArchiveReader(coder).objects<VXQTextLabel>(QStringLiteral("Host_labels")));
}

std::shared_ptr<FixedLabel> FixedLabel::make()
{
    auto made = std::make_shared<FixedLabel>();
    made->init();
    return made;
}

void registerClasses()
{
    platform::ClassRegistry::registerClass<Host>();
    platform::ClassRegistry::registerClass<FixedLabel>();
}

} // namespace labeltest
