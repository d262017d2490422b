#include "platform/ui/Pasteboard.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/ZQLog.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QStringDecoder>
#include <array>
#include <utility>

namespace platform {

namespace {

const QString kCustomMimePrefix = QStringLiteral("application/x-quorvane.");

constexpr std::array<std::pair<const char*, const char*>, 8> kStandardTypes{{
    {"string", "text/plain"},
    {"html", "text/html"},
    {"rtf", "text/rtf"},
    {"url", "text/uri-list"},
    {"png", "image/png"},
    {"tiff", "image/tiff"},
    {"pdf", "application/pdf"},
    {"color", "application/x-color"},
}};

// MIME type tokens take letters, digits and a few marks; "%" escapes the rest.
const QByteArray kMimeTokenMarks = "+!#$&^{}|'*`";

int& clipboardChangeCount()
{
    static int count = [] {
        QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, [] { ++clipboardChangeCount(); });
        return 0;
    }();
    return count;
}

const char* kChangeCountProperty = "pasteboardChangeCount";

} // namespace

QString mimeTypeForPasteboardType(const QString& type)
{
    for (const auto& [name, mime] : kStandardTypes)
        if (type == QLatin1String(name))
            return QString::fromLatin1(mime);
    return kCustomMimePrefix + QString::fromLatin1(QUrl::toPercentEncoding(type, kMimeTokenMarks));
}

QString pasteboardTypeForMimeType(const QString& mimeType)
{
    for (const auto& [name, mime] : kStandardTypes)
        if (mimeType == QLatin1String(mime))
            return QString::fromLatin1(name);
    if (!mimeType.startsWith(kCustomMimePrefix) || mimeType.size() == kCustomMimePrefix.size())
        return {};
    return QUrl::fromPercentEncoding(mimeType.mid(kCustomMimePrefix.size()).toLatin1());
}

Pasteboard::Pasteboard(Backend backend, QMimeData* data, const QMimeData* readable)
    : m_backend(backend)
    , m_data(data)
    , m_readable(readable)
{
}

Pasteboard Pasteboard::generalPasteboard()
{
    clipboardChangeCount();
    return Pasteboard(Backend::Clipboard, nullptr, nullptr);
}

Pasteboard::Pasteboard(QMimeData* data)
    : Pasteboard(Backend::Data, data, data)
{
}

Pasteboard::Pasteboard(const QMimeData* data)
    : Pasteboard(Backend::Data, nullptr, data)
{
}

// --- Writing -----------------------------------------------------------------------------

int Pasteboard::clearContents()
{
    write([](QMimeData& data) { data.clear(); });
    return changeCount();
}

void Pasteboard::declareTypes(const QStringList& types)
{
    write([&](QMimeData& data) {
        data.clear();
        for (const QString& type : types)
            data.setData(mimeTypeForPasteboardType(type), {});
    });
}

void Pasteboard::addTypes(const QStringList& types)
{
    write([&](QMimeData& data) {
        for (const QString& type : types)
            if (!data.hasFormat(mimeTypeForPasteboardType(type)))
                data.setData(mimeTypeForPasteboardType(type), {});
    });
}

bool Pasteboard::setDataForType(const QByteArray& bytes, const QString& type)
{
    return write([&](QMimeData& data) { data.setData(mimeTypeForPasteboardType(type), bytes); });
}

bool Pasteboard::setStringForType(const QString& string, const QString& type)
{
    return setDataForType(string.toUtf8(), type);
}

bool Pasteboard::setPropertyListForType(const QVariant& propertyList, const QString& type)
{
    const std::optional<QByteArray> bytes = PropertyList::toData(propertyList, PropertyList::Format::Binary);
    return bytes && setDataForType(*bytes, type);
}

bool Pasteboard::setArchivedObjectForType(const ZQObject* object, const QString& type)
{
    return object && setDataForType(KeyedArchiver::archivedDataWithRootObject(object), type);
}

bool Pasteboard::setColor(const QColor& colour)
{
    return colour.isValid() && write([&](QMimeData& data) { data.setColorData(colour); });
}

bool Pasteboard::setImage(const QImage& image)
{
    QByteArray png;
    QBuffer buffer(&png);
    return !image.isNull() && image.save(&buffer, "PNG") && setDataForType(png, kPasteboardTypePNG);
}

bool Pasteboard::setURLs(const QList<QUrl>& urls)
{
    return write([&](QMimeData& data) { data.setUrls(urls); });
}

// --- Reading -----------------------------------------------------------------------------

QStringList Pasteboard::types() const
{
    QStringList types;
    if (const QMimeData* data = readable())
        for (const QString& mime : data->formats())
            if (const QString type = pasteboardTypeForMimeType(mime); !type.isEmpty() && !types.contains(type))
                types << type;
    return types;
}

QString Pasteboard::availableTypeFromArray(const QStringList& wanted) const
{
    const QMimeData* data = readable();
    for (const QString& type : wanted)
        if (data && data->hasFormat(mimeTypeForPasteboardType(type)))
            return type;
    return {};
}

QByteArray Pasteboard::dataForType(const QString& type) const
{
    const QMimeData* data = readable();
    return data ? data->data(mimeTypeForPasteboardType(type)) : QByteArray();
}

QString Pasteboard::stringForType(const QString& type) const
{
    const QByteArray bytes = dataForType(type);
    if (bytes.isNull())
        return {};
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString string = decoder(bytes);
    return decoder.hasError() ? QString() : string;
}

std::optional<QVariant> Pasteboard::propertyListForType(const QString& type) const
{
    const QByteArray bytes = dataForType(type);
    if (bytes.isEmpty())
        return std::nullopt;
    return PropertyList::fromData(bytes);
}

ZQObjectPtr Pasteboard::archivedObjectForType(const QString& type) const
{
    const QByteArray bytes = dataForType(type);
    if (bytes.isEmpty())
        return nullptr;
    QuorvaneError error;
    ZQObjectPtr object = KeyedUnarchiver::unarchiveObjectWithData(bytes, &error);
    if (!object)
        LogEvent(kReactiveEvent, QStringLiteral("pasteboard data of type %1 ignored: %2")
                                     .arg(type, error.localizedDescription()));
    return object;
}

QColor Pasteboard::color() const
{
    const QMimeData* data = readable();
    if (!data || !data->hasColor())
        return {};
    const QVariant value = data->colorData();
    return value.metaType() == QMetaType::fromType<QColor>() ? value.value<QColor>() : QColor();
}

QImage Pasteboard::image() const
{
    QImage image = QImage::fromData(dataForType(kPasteboardTypePNG), "PNG");
    if (image.isNull())
        image = QImage::fromData(dataForType(kPasteboardTypeTIFF), "TIFF");
    return image;
}

QList<QUrl> Pasteboard::URLs() const
{
    const QMimeData* data = readable();
    return data && data->hasUrls() ? data->urls() : QList<QUrl>();
}

int Pasteboard::changeCount() const
{
    if (m_backend == Backend::Clipboard)
        return clipboardChangeCount();
    return m_readable ? m_readable->property(kChangeCountProperty).toInt() : 0;
}

const QMimeData* Pasteboard::readable() const
{
    return m_backend == Backend::Clipboard ? QGuiApplication::clipboard()->mimeData() : m_readable.data();
}

bool Pasteboard::write(const std::function<void(QMimeData&)>& change)
{
    if (m_backend == Backend::Data) {
        if (!m_data)
            return false;
        change(*m_data);
        m_data->setProperty(kChangeCountProperty, m_data->property(kChangeCountProperty).toInt() + 1);
        return true;
    }
    // The clipboard takes whole QMimeData objects: copy what is there, change, hand over.
    auto* replacement = new QMimeData;
    if (const QMimeData* current = QGuiApplication::clipboard()->mimeData()) {
        for (const QString& mime : current->formats())
            replacement->setData(mime, current->data(mime));
        if (current->hasColor()) // kept as a value, not as bytes
            replacement->setColorData(current->colorData());
    }
    change(*replacement);
    QGuiApplication::clipboard()->setMimeData(replacement);
    return true;
}

} // namespace platform
