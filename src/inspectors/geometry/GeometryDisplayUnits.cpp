#include "inspectors/geometry/GeometryDisplayUnits.h"

#include "app/document/ZQQuorvaneDocument.h"
#include "platform/foundation/NumericVariant.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "style_editor/panes/StyleLengthFormatter.h"

namespace geometryunits {

int documentOptionForMode(qint64 mode)
{
    switch (mode) {
    case kPointsMode:
        return 1;
    case kMapUnitsMode:
        return 2;
    default:
        return 0;
    }
}

std::optional<int> modeForDocumentOption(int option)
{
    switch (option) {
    case 0:
        return kDrawingUnitsMode;
    case 1:
        return kPointsMode;
    case 2:
        return kMapUnitsMode;
    default:
        return std::nullopt;
    }
}

qint64 storedMode(const QString& key)
{
    const QVariant stored = platform::UserDefaults::standardUserDefaults()->objectForKey(key);
    if (!stored.isValid())
        return kPointsMode;
    return platform::isNumericVariant(stored) ? stored.toLongLong() : -1;
}

ZQQuorvaneDocument* documentOfDrawing(const VXDrawing* drawing)
{
    return drawing ? qobject_cast<ZQQuorvaneDocument*>(drawing->owner()) : nullptr;
}

std::shared_ptr<platform::NumberFormatter> formatterForMode(qint64 mode, const VXDrawing* drawing)
{
    if (!isMode(mode))
        return nullptr;
    auto formatter = std::make_shared<StyleLengthFormatter>();
    formatter->setNumberStyle(platform::NumberFormatter::Style::Decimal);
    formatter->setMaximumFractionDigits(2);
    if (!drawing)
        return formatter;
    QString symbol;
    double pointsPerUnit = 1;
    if (mode == kDrawingUnitsMode && drawing->units()) {
        symbol = drawing->units()->symbol();
        pointsPerUnit = drawing->units()->conversionFactorForPoints();
    } else if (mode == kMapUnitsMode) {
        const ZQQuorvaneDocument* document = documentOfDrawing(drawing);
        if (document && document->delegateConvertedDisplayMultiplier() > 0) {
            symbol = document->delegateConvertedDisplayUnits()->symbol();
            pointsPerUnit = document->delegateConvertedDisplayMultiplier();
        }
    }
    if (pointsPerUnit > 0 && pointsPerUnit != 1)
        formatter->setMultiplier(1.0 / pointsPerUnit);
    formatter->setPositiveSuffix(symbol);
    formatter->setNegativeSuffix(symbol);
    return formatter;
}

} // namespace geometryunits
