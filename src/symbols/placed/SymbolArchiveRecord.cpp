#include "symbols/placed/SymbolArchiveRecord.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/ZQLog.h"
#include "platform/vantrix/model/ArchiveReader.h"

#include <cmath>

namespace {

const QString kMasterKey = QStringLiteral("VXQSymbol_master");
const QString kLocationKey = QStringLiteral("VXQSymbol_location");
const QString kAngleKey = QStringLiteral("VXQSymbol_angle");
const QString kAbsoluteAngleKey = QStringLiteral("VXQSymbol_absoluteAngle");
const QString kScaleFactorKey = QStringLiteral("VXQSymbol_scaleFactor");
const QString kUseLocalStyleKey = QStringLiteral("VXQSymbol_useLocalStyle");
const QString kTextLabelsKey = QStringLiteral("VXQSymbol_textLabels");
const QString kLabelsHiddenKey = QStringLiteral("VXQSymbol_labelsHidden");
const QString kScaleVisuallyKey = QStringLiteral("VXQSymbol_scaleVisually");
const QString kIgnoresTransformersKey = QStringLiteral("VXQSymbol_ignoresDTs");
const QString kModernSequenceKey = QStringLiteral("VXQSymbol_hasModernTypeSequence");
const QString kCachedMasterBoundsKey = QStringLiteral("VXQSymbol_cachedMasterBounds");

} // namespace

void SymbolArchiveRecord::encode(platform::KeyedArchiver& coder) const
{
    if (!coder.isForCopying())
        coder.encodeObject(master.get(), kMasterKey);
    coder.encodePoint(placement.location, kLocationKey);
    coder.encodeDouble(placement.angle, kAngleKey);
    coder.encodeBool(placement.absoluteAngle, kAbsoluteAngleKey);
    coder.encodeDouble(placement.scaleFactor, kScaleFactorKey);
    coder.encodeBool(usesLocalStyle, kUseLocalStyleKey);
    QVariantList archivedLabels;
    for (const VXQTextLabelPtr& label : labels.value_or(QList<VXQTextLabelPtr>()))
        archivedLabels.append(QVariant::fromValue(ZQObjectPtr(label)));
    coder.encodeObject(QVariant(archivedLabels), kTextLabelsKey);
    coder.encodeBool(labelsHidden, kLabelsHiddenKey);
    coder.encodeBool(placement.scaleVisually, kScaleVisuallyKey);
    coder.encodeBool(ignoresTransformers, kIgnoresTransformersKey);
    coder.encodeBool(true, kModernSequenceKey);
    coder.encodeRect(cachedMasterBounds, kCachedMasterBoundsKey);
}

SymbolArchiveRecord SymbolArchiveRecord::decode(platform::KeyedUnarchiver& coder, const QString& symbolName)
{
    const platform::ArchiveReader reader(coder);
    SymbolArchiveRecord record;
    const ZQObjectPtr decoded = coder.decodeObject(kMasterKey);
    record.master = std::dynamic_pointer_cast<VXQSymbolMaster>(decoded);
    record.masterIsOfWrongClass = decoded && !record.master;
    if (!record.master && !coder.isForCopying() && !record.masterIsOfWrongClass) {
        LogEvent(kFileEvent, QStringLiteral("substituting default master for corrupted symbol '%1'").arg(symbolName));
        record.master = VXQSymbolMaster::defaultSymbolMaster();
    }
    record.cachedMasterBounds = reader.rect(kCachedMasterBoundsKey);
    record.modernSequencing = reader.boolean(kModernSequenceKey, false);
    record.placement.location = reader.point(kLocationKey);
    record.placement.angle = reader.real(kAngleKey, 0.0);
    record.placement.absoluteAngle = reader.boolean(kAbsoluteAngleKey, false);
    record.placement.scaleVisually = reader.boolean(kScaleVisuallyKey, false);
    record.usesLocalStyle = reader.boolean(kUseLocalStyleKey, false);
    const double scale = float(reader.real(kScaleFactorKey, 1.0));
    record.placement.scaleFactor = scale > 0 && std::isfinite(scale) ? scale : 1.0;
    if (record.modernSequencing || coder.containsValueForKey(kTextLabelsKey))
        record.labels = reader.objects<VXQTextLabel>(kTextLabelsKey);
    record.labelsHidden = reader.boolean(kLabelsHiddenKey, false);
    record.ignoresTransformers = reader.boolean(kIgnoresTransformersKey, true);
    return record;
}
