#include "symbols/transformers/VXQDataTransformer.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/ui/Pasteboard.h"
#include "platform/vantrix/model/ArchiveReader.h"

#include <QCoreApplication>

namespace {

const QString kNameKey = QStringLiteral("VXQDataTransformer_name");
const QString kInputTargetKey = QStringLiteral("VXQDataTransformer_inputTarget");
const QString kInputPropertyKey = QStringLiteral("VXQDataTransformer_inputProperty");
const QString kOutputTargetKey = QStringLiteral("VXQDataTransformer_outputTarget");
const QString kOutputPropertyKey = QStringLiteral("VXQDataTransformer_outputProperty");
const QString kDisabledKey = QStringLiteral("VXQDataTransformer_disabled");

QString untitled() { return QCoreApplication::translate("VXQDataTransformer", "untitled"); }

} // namespace

VXQDataTransformer::VXQDataTransformer() : m_name(untitled()) {}

VXQDataTransformer::~VXQDataTransformer() = default;

void VXQDataTransformer::initWithInputTargetForPropertyKey(ZQObject* target, const QString& keyPath)
{
    m_inputTargetRef = target;
    m_inputPropertyKey = keyPath;
}

QVariant VXQDataTransformer::transform(const QVariant& value) const
{
    return value;
}

bool VXQDataTransformer::isReadyToTransform() const
{
    return !m_disabled && !m_inputPropertyKey.isEmpty() && !m_outputPropertyKey.isEmpty();
}

void VXQDataTransformer::performTransformation()
{
    transformBetween(m_inputTargetRef, m_outputTargetRef);
}

void VXQDataTransformer::performTransformationWithTarget(ZQObject* target)
{
    transformBetween(target, target);
}

void VXQDataTransformer::transformBetween(ZQObject* input, ZQObject* output)
{
    if (!isReadyToTransform() || !input || !output)
        return;
    output->setValueForKeyPath(transform(input->valueForKeyPath(m_inputPropertyKey)), m_outputPropertyKey);
}

// --- Pasteboard --------------------------------------------------------------------------------------------

bool VXQDataTransformer::writeToPasteboard(platform::Pasteboard& pasteboard) const
{
    pasteboard.declareTypes({kVXQDataTransformerPasteboardType});
    return pasteboard.setArchivedObjectForType(this, kVXQDataTransformerPasteboardType);
}

VXQDataTransformerPtr VXQDataTransformer::dataTransformerFromPasteboard(const platform::Pasteboard* pasteboard)
{
    ZQ_ASSERT(pasteboard, QStringLiteral("cannot create transformer - pasteboard was nil"));
    return std::dynamic_pointer_cast<VXQDataTransformer>(
        pasteboard->archivedObjectForType(kVXQDataTransformerPasteboardType));
}

// --- Copying and archiving ---------------------------------------------------------------------------------

std::shared_ptr<ZQObject> VXQDataTransformer::copy() const
{
    auto copy = std::make_shared<VXQDataTransformer>();
    copyInto(*copy);
    return copy;
}

void VXQDataTransformer::copyInto(VXQDataTransformer& copy) const
{
    copy.m_name = m_name;
    copy.m_inputTargetRef = m_inputTargetRef;
    copy.m_inputPropertyKey = m_inputPropertyKey;
    copy.m_outputTargetRef = m_outputTargetRef;
    copy.m_outputPropertyKey = m_outputPropertyKey;
    copy.m_disabled = m_disabled;
}

QString VXQDataTransformer::description() const
{
    return QStringLiteral("%1 '%2' (%3 -> %4)").arg(ZQObject::description(), m_name, m_inputPropertyKey, m_outputPropertyKey);
}

void VXQDataTransformer::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    coder.encodeString(m_name, kNameKey);
    coder.encodeConditionalObject(m_inputTargetRef.data(), kInputTargetKey);
    coder.encodeString(m_inputPropertyKey, kInputPropertyKey);
    coder.encodeConditionalObject(m_outputTargetRef.data(), kOutputTargetKey);
    coder.encodeString(m_outputPropertyKey, kOutputPropertyKey);
    coder.encodeBool(m_disabled, kDisabledKey);
}

void VXQDataTransformer::initWithCoder(platform::KeyedUnarchiver& coder)
{
    const platform::ArchiveReader reader(coder);
    m_name = reader.string(kNameKey);
    if (m_name.isEmpty())
        m_name = untitled();
    // Targets are conditional: the objects are owned by whoever else the archive holds.
    m_inputTargetRef = reader.object<ZQObject>(kInputTargetKey).get();
    m_inputPropertyKey = reader.string(kInputPropertyKey);
    m_outputTargetRef = reader.object<ZQObject>(kOutputTargetKey).get();
    m_outputPropertyKey = reader.string(kOutputPropertyKey);
    m_disabled = reader.boolean(kDisabledKey, false);
}
