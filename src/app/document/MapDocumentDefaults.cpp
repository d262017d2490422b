#include "app/document/MapDocumentDefaults.h"

#include "app/printing/PrintInfoCoding.h"
#include "platform/foundation/ArchiveValueCoding.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/ZQLog.h"

#include <cmath>

namespace {

constexpr QSizeF kFallbackDrawingSize(595, 842); // A4 portrait
constexpr double kFallbackMargin = 36;           // half an inch
constexpr QMarginsF kFallbackMargins(kFallbackMargin, kFallbackMargin, kFallbackMargin, kFallbackMargin);

bool g_qualityModulation = false;

platform::UserDefaults& defaults()
{
    return *platform::UserDefaults::standardUserDefaults();
}

template <class T>
std::shared_ptr<T> unarchivedDefault(const QString& key)
{
    const QByteArray data = defaults().dataForKey(key);
    if (data.isEmpty())
        return nullptr;
    auto value = std::dynamic_pointer_cast<T>(platform::KeyedUnarchiver::unarchiveObjectWithData(data));
    if (!value)
        ZQLog(QStringLiteral("the user default %1 could not be read").arg(key));
    return value;
}

void setArchivedDefault(const ZQObject* value, const QString& key)
{
    if (value)
        defaults().setObjectForKey(platform::KeyedArchiver::archivedDataWithRootObject(value), key);
}

} // namespace

QSizeF MapDocumentDefaults::drawingSize()
{
    const auto size = platform::archive::parseSize(defaults().stringForKey(kVXDocumentDefaultSize));
    const bool usable = size && std::isfinite(size->width()) && std::isfinite(size->height()) && size->width() > 0
                        && size->height() > 0;
    return usable ? *size : kFallbackDrawingSize;
}

void MapDocumentDefaults::setDrawingSize(QSizeF size)
{
    defaults().setObjectForKey(platform::archive::sizeString(size), kVXDocumentDefaultSize);
}

QMarginsF MapDocumentDefaults::drawingMargins()
{
    // Stored as a rectangle {{left, top}, {right, bottom}}.
    const auto rect = platform::archive::parseRect(defaults().stringForKey(kVXDocumentDefaultMargins));
    if (!rect)
        return kFallbackMargins;
    const QMarginsF margins(rect->x(), rect->y(), rect->width(), rect->height());
    const bool usable = std::isfinite(margins.left()) && std::isfinite(margins.top()) && std::isfinite(margins.right())
                        && std::isfinite(margins.bottom()) && margins.left() >= 0 && margins.top() >= 0
                        && margins.right() >= 0 && margins.bottom() >= 0;
    return usable ? margins : kFallbackMargins;
}

void MapDocumentDefaults::setDrawingMargins(const QMarginsF& margins)
{
    const QRectF rect(margins.left(), margins.top(), margins.right(), margins.bottom());
    defaults().setObjectForKey(platform::archive::rectString(rect), kVXDocumentDefaultMargins);
}

VXQMapScalePtr MapDocumentDefaults::drawingScale()
{
    VXQMapScalePtr scale = unarchivedDefault<VXQMapScale>(kVXDocumentDefaultDrawingScale_Quorvane2);
    return scale ? scale : VXQMapScale::defaultScale();
}

void MapDocumentDefaults::setDrawingScale(const VXQMapScalePtr& scale)
{
    setArchivedDefault(scale.get(), kVXDocumentDefaultDrawingScale_Quorvane2);
}

ZQUnitLengthPtr MapDocumentDefaults::drawingUnits()
{
    ZQUnitLengthPtr units = unarchivedDefault<ZQUnitLength>(kVXDocumentDrawingUnitsDefault);
    return units ? units : ZQUnitLength::centimeters();
}

void MapDocumentDefaults::setDrawingUnits(const ZQUnitLengthPtr& units)
{
    setArchivedDefault(units.get(), kVXDocumentDrawingUnitsDefault);
}

double MapDocumentDefaults::prescale()
{
    const double prescale = defaults().doubleForKey(kVXDocumentPrescaleDefault);
    return std::isfinite(prescale) && prescale > 0 ? prescale : 1.0;
}

void MapDocumentDefaults::setPrescale(double prescale)
{
    defaults().setDoubleForKey(prescale, kVXDocumentPrescaleDefault);
}

QPageLayout MapDocumentDefaults::printInfo()
{
    if (const auto stored = PrintInfoCoding::pageLayout(defaults().objectForKey(kDefaultPrintInfo)))
        return *stored;
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, kFallbackMargins, QPageLayout::Point);
}

bool MapDocumentDefaults::qualityModulation()
{
    return g_qualityModulation;
}

void MapDocumentDefaults::setQualityModulation(bool flag)
{
    g_qualityModulation = flag;
}
