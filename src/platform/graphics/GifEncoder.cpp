#include "platform/graphics/GifEncoder.h"

#include "platform/graphics/ColourQuantizer.h"

#include <gif_lib.h>
#include <memory>

namespace platform {

namespace {

// GIF stores dimensions in 16 bits.
constexpr int kMaximumSide = 65535;

int appendBytes(GifFileType* gif, const GifByteType* bytes, int length)
{
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(bytes), length);
    return length;
}

struct GifCloser {
    void operator()(GifFileType* gif) const { EGifCloseFile(gif, nullptr); }
};
struct MapFreer {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};

QByteArray fail(QuorvaneError* error, const QString& reason)
{
    if (error)
        *error = QuorvaneError(kQuorvaneNoDrawingDataError, QStringLiteral("GIF encoding failed: %1").arg(reason));
    return {};
}

} // namespace

QByteArray GifEncoder::encode(const QImage& image, bool dither, QuorvaneError* error)
{
    if (image.isNull())
        return fail(error, QStringLiteral("the image is empty"));
    if (image.width() > kMaximumSide || image.height() > kMaximumSide)
        return fail(error, QStringLiteral("%1 x %2 pixels is too large").arg(image.width()).arg(image.height()));

    const ColourQuantizer::Result quantized = ColourQuantizer::quantize(image, 256, dither);
    const QList<QRgb> palette = quantized.image.colorTable();
    const int bits = GifBitSize(std::max(int(palette.size()), 2));
    std::unique_ptr<ColorMapObject, MapFreer> map(GifMakeMapObject(1 << bits, nullptr));
    if (!map)
        return fail(error, QStringLiteral("out of memory"));
    for (int i = 0; i < map->ColorCount; ++i) {
        const QRgb c = i < palette.size() ? palette[i] : 0;
        map->Colors[i] = {GifByteType(qRed(c)), GifByteType(qGreen(c)), GifByteType(qBlue(c))};
    }

    QByteArray bytes;
    int status = 0;
    std::unique_ptr<GifFileType, GifCloser> gif(EGifOpen(&bytes, appendBytes, &status));
    if (!gif)
        return fail(error, QString::fromLatin1(GifErrorString(status)));
    EGifSetGifVersion(gif.get(), true);
    auto check = [&](int result) { return result == GIF_OK; };
    bool ok = check(EGifPutScreenDesc(gif.get(), image.width(), image.height(), bits, 0, map.get()));
    if (ok && quantized.transparentIndex >= 0) {
        GraphicsControlBlock control{DISPOSAL_UNSPECIFIED, false, 0, quantized.transparentIndex};
        GifByteType extension[4];
        const size_t length = EGifGCBToExtension(&control, extension);
        ok = check(EGifPutExtension(gif.get(), GRAPHICS_EXT_FUNC_CODE, int(length), extension));
    }
    ok = ok && check(EGifPutImageDesc(gif.get(), 0, 0, image.width(), image.height(), false, nullptr));
    for (int y = 0; ok && y < image.height(); ++y) {
        // giflib reads the line without changing it.
        ok = check(EGifPutLine(gif.get(), const_cast<GifByteType*>(quantized.image.constScanLine(y)), image.width()));
    }
    if (!ok)
        return fail(error, QString::fromLatin1(GifErrorString(gif->Error)));
    if (EGifCloseFile(gif.release(), &status) != GIF_OK)
        return fail(error, QString::fromLatin1(GifErrorString(status)));
    return bytes;
}

} // namespace platform
