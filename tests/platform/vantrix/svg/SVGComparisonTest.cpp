// Real SVG files from installed packages (an icon theme, tablet diagrams), imported and
// rendered by us, compared pixel by pixel with rsvg-convert's rendering of the same file.

#include "platform/vantrix/render/DrawingRenderer.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/svg/VXSVGImporter.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

constexpr double kPixelsPerPoint = 8;
constexpr int kLongestSide = 512; // pixels

// Antialiasing differs between the two rasterizers along every edge, so single pixels may
// disagree a little; the figures below still fail a missing shape, a wrong colour or
// opacity, a shape off by half a point, or a stray spike a few pixels wide.
constexpr double kMaximumMeanDifference = 0.03; // of full scale, weighted by coverage
constexpr int kPixelTolerance = 32;              // per channel, of 255
constexpr double kMinimumShareWithinTolerance = 0.97;
constexpr int kBadlyWrong = 128; // per channel: more than half of full scale
constexpr double kMaximumShareBadlyWrong = 0.0005;

struct Difference {
    double meanDifference = 1.0;       // mean |ours - peer| per channel, 0...1, coverage-weighted
    double shareWithinTolerance = 0.0; // of the pixels either image covers
    double shareBadlyWrong = 1.0;      // likewise
    bool passes() const
    {
        return meanDifference < kMaximumMeanDifference && shareWithinTolerance >= kMinimumShareWithinTolerance
               && shareBadlyWrong <= kMaximumShareBadlyWrong;
    }
};

// The rendering size for an SVG of `size` points, in its proportions.
QSize pixelsFor(QSizeF size)
{
    const double scale = std::min(kPixelsPerPoint, kLongestSide / std::max(size.width(), size.height()));
    return QSize(std::max(1, qRound(size.width() * scale)), std::max(1, qRound(size.height() * scale)));
}

// Compares premultiplied RGBA, so colour counts as much as it shows. Only pixels that
// either image covers count: the empty margins of an icon would hide any fault.
Difference compare(const QImage& ours, const QImage& peer)
{
    if (ours.size() != peer.size())
        return {};
    const QImage a = ours.convertToFormat(QImage::Format_RGBA8888_Premultiplied);
    const QImage b = peer.convertToFormat(QImage::Format_RGBA8888_Premultiplied);
    double weightedDifference = 0;
    double totalWeight = 0;
    qint64 covered = 0;
    qint64 within = 0;
    qint64 badlyWrong = 0;
    for (int y = 0; y < a.height(); ++y) {
        const uchar* rowA = a.constScanLine(y);
        const uchar* rowB = b.constScanLine(y);
        for (int x = 0; x < a.width() * 4; x += 4) {
            const int coverage = std::max(rowA[x + 3], rowB[x + 3]);
            if (coverage == 0)
                continue;
            int sum = 0;
            int largest = 0;
            for (int c = 0; c < 4; ++c) {
                const int d = std::abs(rowA[x + c] - rowB[x + c]);
                sum += d;
                largest = std::max(largest, d);
            }
            const double weight = coverage / 255.0;
            weightedDifference += weight * sum / (4 * 255.0);
            totalWeight += weight;
            ++covered;
            within += largest <= kPixelTolerance;
            badlyWrong += largest > kBadlyWrong;
        }
    }
    if (covered == 0)
        return {0.0, 1.0, 0.0};
    return {weightedDifference / totalWeight, double(within) / double(covered), double(badlyWrong) / double(covered)};
}

QImage peerRendering(const QString& path, QSize pixels, QString* failure)
{
    QProcess process;
    process.start(QStringLiteral("rsvg-convert"), {QStringLiteral("-w"), QString::number(pixels.width()),
                                                   QStringLiteral("-h"), QString::number(pixels.height()),
                                                   QStringLiteral("-f"), QStringLiteral("png"), path});
    if (!process.waitForFinished(30000) || process.exitCode() != 0) {
        *failure = QString::fromUtf8(process.readAllStandardError());
        return {};
    }
    return QImage::fromData(process.readAllStandardOutput(), "PNG");
}

QImage ourRendering(const VXSVGImporter::Result& result, QSize pixels)
{
    const VXDrawingPtr drawing = VXDrawing::drawingWithSize(result.size);
    const auto layer = std::make_shared<VXObjectDrawingLayer>();
    drawing->addLayer(layer);
    layer->addObjectsFromArray(result.objects);
    return platform::DrawingRenderer::imageOfDrawing(*drawing, drawing->bounds(), pixels, QColor());
}

// Glyphs come from two font engines that place and hint them differently, so both renderers
// get a copy of the file without its text elements.
QString copyWithoutText(const QString& path, const QString& folder)
{
    QFile source(path);
    if (!source.open(QIODevice::ReadOnly))
        return {};
    static const QRegularExpression text(QStringLiteral(R"(<text\b.*?</text\s*>)"),
                                         QRegularExpression::DotMatchesEverythingOption);
    const QByteArray contents = QString::fromUtf8(source.readAll()).remove(text).toUtf8();
    QFile copy(QDir(folder).filePath(QStringLiteral("sample.svg")));
    if (!copy.open(QIODevice::WriteOnly) || copy.write(contents) != contents.size())
        return {};
    return copy.fileName();
}

// Writes the image as PNG and reads it back, as a saved rendering would be.
QImage throughPNG(const QImage& image, const QString& path)
{
    if (!image.save(path, "PNG"))
        return {};
    return QImage(path, "PNG");
}

std::string describe(const Difference& d)
{
    return QStringLiteral("mean difference %1 %, %2 % of covered pixels within tolerance, %3 % badly wrong")
        .arg(d.meanDifference * 100, 0, 'f', 2)
        .arg(d.shareWithinTolerance * 100, 0, 'f', 2)
        .arg(d.shareBadlyWrong * 100, 0, 'f', 3)
        .toStdString();
}

// A real file from an installed Debian package.
struct SampleFile {
    const char* package;
    const char* folder;
    QString name;
    QString path() const { return QDir(QString::fromUtf8(folder)).filePath(name); }
};

void PrintTo(const SampleFile& file, std::ostream* out)
{
    *out << file.name.toStdString();
}

class SVGComparisonTest : public testing::TestWithParam<SampleFile> {
protected:
    void SetUp() override
    {
        if (!QFileInfo(QString::fromUtf8(GetParam().folder)).isDir())
            GTEST_SKIP() << GetParam().package << " is not installed (scripts/deps.sh installs it)";
        if (QStandardPaths::findExecutable(QStringLiteral("rsvg-convert")).isEmpty())
            GTEST_SKIP() << "rsvg-convert is not installed (package librsvg2-bin, scripts/deps.sh installs it)";
    }
};

std::vector<SampleFile> samples(const char* package, const char* folder, const QString& names)
{
    std::vector<SampleFile> files;
    for (const QString& name : names.split(u' ', Qt::SkipEmptyParts))
        files.push_back({package, folder, name});
    return files;
}

// Fixed, sorted choices covering what the theme uses: even-odd and non-zero fills, groups,
// opacity, classes, inline styles, strokes, transforms, masks and embedded images.
const std::vector<SampleFile> kIcons = samples(
    "adwaita-icon-theme", "/usr/share/icons/Adwaita/scalable", QStringLiteral(
    "actions/application-exit-symbolic.svg actions/bookmark-new-symbolic.svg actions/camera-switch-symbolic.svg "
    "actions/color-select-symbolic.svg actions/document-page-setup-symbolic.svg actions/document-revert-symbolic.svg "
    "actions/edit-find-replace-symbolic.svg actions/edit-select-all-symbolic.svg "
    "actions/mail-mark-important-symbolic.svg actions/media-playback-pause-symbolic.svg "
    "actions/selection-mode-symbolic.svg actions/system-run-symbolic.svg apps/help-contents-symbolic.svg "
    "categories/applications-engineering-symbolic.svg categories/applications-system-symbolic.svg "
    "categories/system-help-symbolic.svg devices/modem-symbolic.svg devices/phone-old-symbolic.svg "
    "emblems/emblem-favorite-symbolic.svg emblems/emblem-system-symbolic.svg emotes/face-angel-symbolic.svg "
    "emotes/face-monkey-symbolic.svg legacy/accessories-calculator-symbolic.svg legacy/battery-caution-symbolic.svg "
    "legacy/preferences-desktop-appearance-symbolic.svg legacy/preferences-system-notifications-symbolic.svg "
    "legacy/preferences-system-parental-controls-symbolic.svg mimetypes/package-x-generic-symbolic.svg "
    "places/folder-symbolic.svg places/user-trash-symbolic.svg status/appointment-missed-symbolic.svg "
    "status/audio-volume-medium-symbolic.svg status/battery-missing-symbolic.svg "
    "status/dialog-information-symbolic.svg status/image-missing-symbolic.svg status/user-trash-full-symbolic.svg "
    "status/weather-fog-symbolic.svg status/weather-snow-symbolic.svg ui/radio-checked-symbolic.svg "
    "ui/window-close-symbolic.svg"));

// Tablet diagrams: circles, rectangles, arcs, hairline strokes, clipping, pages sized in
// millimetres, lengths the peer refuses ("10.") and styles inherited from the root.
const std::vector<SampleFile> kTabletLayouts = samples("libwacom-common", "/usr/share/libwacom/layouts", QStringLiteral(
    "bamboo-0fg-s-p.svg bamboo-pad.svg cintiq-13hd.svg dth-2452.svg dtk-1651.svg ek-remote.svg graphire4-4x5.svg "
    "huion-h420.svg intuos-m-p.svg intuos-pro-m.svg intuos4-6x9.svg xp-pen-star03.svg"));

TEST_P(SVGComparisonTest, MatchesPeerRendering)
{
    ASSERT_TRUE(QFileInfo::exists(GetParam().path())) << GetParam().path().toStdString();
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = copyWithoutText(GetParam().path(), folder.path());
    ASSERT_FALSE(path.isEmpty());

    QuorvaneError error;
    const std::optional<VXSVGImporter::Result> imported = VXSVGImporter::importFile(path, &error);
    ASSERT_TRUE(imported) << error.localizedDescription().toStdString();
    ASSERT_FALSE(imported->objects.isEmpty());

    const QSize pixels = pixelsFor(imported->size);
    const QImage ours = throughPNG(ourRendering(*imported, pixels), folder.filePath(QStringLiteral("ours.png")));
    QString peerFailure;
    const QImage peer = peerRendering(path, pixels, &peerFailure);
    ASSERT_EQ(ours.size(), pixels);
    ASSERT_EQ(peer.size(), pixels) << peerFailure.toStdString();
    peer.save(folder.filePath(QStringLiteral("peer.png")), "PNG");

    const Difference difference = compare(ours, peer);
    RecordProperty("difference", describe(difference));
    if (!difference.passes())
        folder.setAutoRemove(false); // both renderings stay for a look
    EXPECT_TRUE(difference.passes()) << describe(difference) << "; skipped: "
                                     << imported->skipped.join(u' ').toStdString() << "; renderings in "
                                     << folder.path().toStdString();
}

std::string testName(const testing::TestParamInfo<SampleFile>& info)
{
    return QFileInfo(info.param.name).completeBaseName().replace(u'-', u'_').toStdString();
}

INSTANTIATE_TEST_SUITE_P(AdwaitaIcons, SVGComparisonTest, testing::ValuesIn(kIcons), testName);
INSTANTIATE_TEST_SUITE_P(TabletLayouts, SVGComparisonTest, testing::ValuesIn(kTabletLayouts), testName);

// The measure must have teeth: a blank rendering, one moved by a point, one at another size
// and one with a stray spike all fail it.
TEST(SVGComparisonMeasureTest, RejectsMissingMisplacedAndStrayContent)
{
    const auto drawn = [](const QList<QRect>& rects) {
        QImage image(128, 128, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        for (const QRect& rect : rects)
            painter.fillRect(rect, QColor(0x2e, 0x34, 0x36));
        return image;
    };
    const QImage square = drawn({QRect(32, 32, 64, 64)});
    EXPECT_TRUE(compare(square, square).passes());
    EXPECT_DOUBLE_EQ(compare(square, square).meanDifference, 0.0);
    EXPECT_FALSE(compare(drawn({}), square).passes());
    EXPECT_FALSE(compare(drawn({QRect(40, 32, 64, 64)}), square).passes());
    EXPECT_FALSE(compare(square, square.scaled(64, 64)).passes());

    const Difference spike = compare(drawn({QRect(32, 32, 64, 64), QRect(10, 40, 2, 20)}), square);
    EXPECT_LT(spike.meanDifference, kMaximumMeanDifference);
    EXPECT_GE(spike.shareWithinTolerance, kMinimumShareWithinTolerance);
    EXPECT_FALSE(spike.passes());
}

} // namespace
