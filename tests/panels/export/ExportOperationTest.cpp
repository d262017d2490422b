#include "../slices/SlicesTesting.h"

#include "support/ArchiveTesting.h"
#include "support/LogCapture.h"
#include "panels/export/ExportFileNaming.h"
#include "panels/export/ExportFolder.h"
#include "panels/export/VLTMExportOperation.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/UserDefaults.h"
#include "symbols/shapes/VXQLabelledShape.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

using slicestest::SlicesFixture;

namespace {

// An export operation over the fixture's drawing, writing into a folder of its own.
struct ExportFixture : SlicesFixture {
    QTemporaryDir folder;
    VLTMExportOperationPtr operation;

    ExportFixture()
    {
        platform::UserDefaults::standardUserDefaults()->setObjectForKey(folder.path(), kVLTMExportOptionsFolderURL);
        operation = VLTMExportOperation::exportOperation();
        operation->setDrawing(drawing);
    }
    QStringList writtenNames() const
    {
        QStringList names;
        for (const QUrl& url : operation->filesWrittenURLs())
            names.append(url.fileName());
        return names;
    }
    void exportSlices(const QList<VXQSlicePtr>& slices)
    {
        operation->setSourceType(kVLTMExportSlices);
        operation->setSources({slices.cbegin(), slices.cend()});
    }
    QString path(const QString& name) const { return QDir(folder.path()).filePath(name); }
};

QImage readImage(const QString& path) { return QImageReader(path).read(); }

// The page box of a one-page PDF, read from its text.
QSizeF pdfPageSize(const QByteArray& pdf)
{
    const QRegularExpression box(QStringLiteral("/MediaBox\\s*\\[\\s*0\\s+0\\s+([\\d.]+)\\s+([\\d.]+)\\s*\\]"));
    const QRegularExpressionMatch match = box.match(QString::fromLatin1(pdf));
    return match.hasMatch() ? QSizeF(match.captured(1).toDouble(), match.captured(2).toDouble()) : QSizeF();
}

} // namespace

TEST(ExportOperationTest, DefaultsSurviveTheSettingsFileAndCopies)
{
    ExportFixture f;
    const VLTMExportOperation& fresh = *f.operation;
    EXPECT_EQ(fresh.format(), kVLTMExportPNG);
    EXPECT_EQ(fresh.quality(), 0.75);
    EXPECT_EQ(fresh.dpi(), 72.0);
    EXPECT_EQ(fresh.scale(), 1.0);
    EXPECT_TRUE(fresh.transparent());
    EXPECT_EQ(fresh.fileNameRoot(), QStringLiteral("Untitled_"));
    EXPECT_EQ(fresh.fileNamingOption(), kVLTMNameRootAndIndex);
    EXPECT_EQ(fresh.firstIndex(), 1u);
    EXPECT_EQ(fresh.indexIncrement(), 1u);
    EXPECT_EQ(fresh.indexPadLength(), 4u);
    EXPECT_TRUE(fresh.showInFinder());
    EXPECT_FALSE(fresh.overwriteExisting());
    EXPECT_EQ(fresh.colorspace(), QStringLiteral("sRGB"));
    EXPECT_EQ(fresh.folderURL(), QUrl::fromLocalFile(f.folder.path()));

    f.operation->setFormat(kVLTMExportPDF);
    f.operation->setDpi(300);
    f.operation->setScale(0.5);
    f.operation->setColorspace(QStringLiteral("Gray"));
    f.operation->setFileNameRoot(QStringLiteral("Map_%%INDEX"));
    f.operation->setFirstIndex(7);
    f.operation->setTransparent(false);
    f.operation->setGroupInFolder(true);
    // As the document stores it: an XML property list of {"export_state": archive}.
    const auto xml = platform::PropertyList::toData(f.operation->restorableStateInfo(), platform::PropertyList::Format::Xml);
    ASSERT_TRUE(xml);
    const auto parsed = platform::PropertyList::fromData(*xml);
    ASSERT_TRUE(parsed);
    const VLTMExportOperationPtr read = VLTMExportOperation::exportOperationWithRestorableStateInfo(parsed->toMap());
    ASSERT_TRUE(read);
    EXPECT_EQ(read->format(), kVLTMExportPDF);
    EXPECT_EQ(read->dpi(), 300);
    EXPECT_EQ(read->scale(), 0.5);
    EXPECT_EQ(read->colorspace(), QStringLiteral("Gray"));
    EXPECT_EQ(read->fileNameRoot(), QStringLiteral("Map_%%INDEX"));
    EXPECT_EQ(read->firstIndex(), 7u);
    EXPECT_FALSE(read->transparent());
    EXPECT_TRUE(read->groupInFolder());
    EXPECT_FALSE(read->drawing()); // never archived with the settings
    EXPECT_EQ(read->folderURL(), QUrl::fromLocalFile(f.folder.path()));
    EXPECT_FALSE(VLTMExportOperation::exportOperationWithRestorableStateInfo({{"export_state", QByteArray("junk")}}));

    f.operation->setSourceType(kVLTMExportSlices);
    f.operation->writeToFiles(); // the root's token switches the naming, and the copy keeps it
    const VLTMExportOperationPtr copy = f.operation->copyOperation();
    EXPECT_EQ(copy->drawing(), f.drawing);
    EXPECT_EQ(copy->dpi(), 300);
    EXPECT_EQ(copy->fileNamingOption(), kVLTMNameIndexToken);
    EXPECT_TRUE(copy->filesWrittenURLs().isEmpty());
}

TEST(ExportOperationTest, SettingsMissingFromAnOldFileTakeTheDefaults)
{
    ExportFixture f;
    testsupport::ArchiveStub stub;
    stub.values = {{QStringLiteral("Exp_format"), 3}, {QStringLiteral("Exp_dpi"), 150.0}};
    const auto read = std::dynamic_pointer_cast<VLTMExportOperation>(
        platform::KeyedUnarchiver::unarchiveObjectWithData(stub.archiveAs(QStringLiteral("VLTMExportOperation"))));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->format(), kVLTMExportJPEG);
    EXPECT_EQ(read->dpi(), 150);
    EXPECT_EQ(read->scale(), 1.0);
    EXPECT_EQ(read->indexIncrement(), 1u);
    EXPECT_EQ(read->fileNameRoot(), QStringLiteral("Untitled_"));
    EXPECT_EQ(read->quality(), 0.75);
    EXPECT_TRUE(read->transparent());

    // Damaged values open, and the export they ask for fails with an error, writing nothing.
    stub.values = {{QStringLiteral("Exp_dpi"), std::nan("")}, {QStringLiteral("Exp_scale"), -2.0},
                   {QStringLiteral("Exp_filenameRoot"), 12}};
    const auto damaged = std::dynamic_pointer_cast<VLTMExportOperation>(
        platform::KeyedUnarchiver::unarchiveObjectWithData(stub.archiveAs(QStringLiteral("VLTMExportOperation"))));
    ASSERT_TRUE(damaged);
    EXPECT_EQ(damaged->fileNameRoot(), QStringLiteral("Untitled_"));
    damaged->setDrawing(f.drawing);
    QuorvaneError error;
    EXPECT_FALSE(damaged->writeToFiles(&error));
    EXPECT_TRUE(error);
    EXPECT_TRUE(QDir(f.folder.path()).isEmpty());
}

TEST(ExportOperationTest, FilesAreNamedByIndexTokensAndUniqueness)
{
    ExportFixture f;
    const QList<VXQSlicePtr> slices{f.addSlice({0, 0, 40, 30}), f.addSlice({50, 0, 40, 30}),
                                    f.addSlice({100, 0, 40, 30})};
    f.exportSlices(slices);
    ASSERT_TRUE(f.operation->writeToFiles());
    EXPECT_EQ(f.writtenNames(), (QStringList{"Untitled_0001.png", "Untitled_0002.png", "Untitled_0003.png"}));

    // The whole drawing: the bare root, then made unique; numbering stays chosen for the slices after it.
    f.operation->setSourceType(kVLTMExportDrawing);
    ASSERT_TRUE(f.operation->writeToFiles());
    ASSERT_TRUE(f.operation->writeToFiles());
    EXPECT_EQ(f.writtenNames(), QStringList{"Untitled_-1.png"});
    EXPECT_EQ(f.operation->fileNamingOption(), kVLTMNameRootAndIndex);
    f.exportSlices(slices.mid(0, 1));
    EXPECT_EQ(f.operation->filenameWithSourceAtIndex(slices[0].get(), 0), QStringLiteral("Untitled_0001-1.png"));

    f.exportSlices(slices.mid(0, 2));
    f.operation->setFileNameRoot(QStringLiteral("Map_%%INDEX_A4"));
    f.operation->setFileNamingOption(kVLTMNameRootAndIndex);
    f.operation->setFirstIndex(5);
    f.operation->setIndexIncrement(10);
    ASSERT_TRUE(f.operation->writeToFiles());
    EXPECT_EQ(f.writtenNames(), (QStringList{"Map_0005_A4.png", "Map_0015_A4.png"}));
    EXPECT_EQ(f.operation->fileNamingOption(), kVLTMNameIndexToken);

    // Tokens are found case-sensitively, so this root takes the number after it.
    f.operation->setFileNameRoot(QStringLiteral("map_%%index"));
    f.operation->setFileNamingOption(kVLTMNameRootAndIndex);
    f.operation->setFirstIndex(1);
    EXPECT_EQ(f.operation->filenameWithSourceAtIndex(slices[0].get(), 0), QStringLiteral("map_%%index0001.png"));
    f.operation->setFirstIndex(12345);
    EXPECT_EQ(f.operation->filenameWithSourceAtIndex(slices[0].get(), 0), QStringLiteral("map_%%index12345.png"));

    // A token option kept from an earlier root gives every file the bare root, made unique.
    f.operation->setFileNameRoot(QStringLiteral("plan"));
    f.operation->setFileNamingOption(kVLTMNameIndexToken);
    ASSERT_TRUE(f.operation->writeToFiles());
    EXPECT_EQ(f.writtenNames(), (QStringList{"plan.png", "plan-1.png"}));

    // Names of the sources, and text that would leave the folder.
    f.operation->setFileNameRoot(QStringLiteral("../%%NAME"));
    slices[0]->setTitle(QStringLiteral("a/b"));
    ASSERT_TRUE(f.operation->writeToFiles());
    EXPECT_EQ(f.writtenNames(), (QStringList{"..-a-b 1.png", "..-Slice 2.png"}));
    f.operation->setFileNameRoot(QStringLiteral(".."));
    f.operation->setFileNamingOption(kVLTMNameRootOnly);
    EXPECT_EQ(f.operation->filenameWithSourceAtIndex(slices[0].get(), 0), QStringLiteral("_.png"));
    for (const QUrl& url : f.operation->filesWrittenURLs())
        EXPECT_EQ(QFileInfo(url.toLocalFile()).absolutePath(), QDir(f.folder.path()).absolutePath());
}

TEST(ExportOperationTest, SkipsHiddenSourcesLogsEmptyOnesAndStopsAtTheFirstFailure)
{
    ExportFixture f;
    const QList<VXQSlicePtr> slices{f.addSlice({0, 0, 40, 30}), f.addSlice({50, 0, 40, 30}),
                                    f.addSlice({100, 0, 40, 30})};
    f.exportSlices(slices);
    slices[0]->setVisible(false);
    ASSERT_TRUE(f.operation->writeToFiles());
    EXPECT_EQ(f.writtenNames(), (QStringList{"Untitled_0001.png", "Untitled_0002.png"}));
    EXPECT_TRUE(QFile::exists(f.path("Untitled_0002.png")));

    // A source without data uses a number, is logged, and the export still succeeds.
    slices[1]->removeFromLayer();
    f.operation->setOverwriteExisting(true);
    {
        testsupport::LogCapture log;
        ASSERT_TRUE(f.operation->writeToFiles());
        EXPECT_TRUE(log.contains(QStringLiteral("image data could not be created for index 0")));
    }
    EXPECT_EQ(f.writtenNames(), QStringList{"Untitled_0002.png"});

    // A name taken by a folder fails the write: the export stops there with the files before it.
    slices[0]->setVisible(true);
    ASSERT_TRUE(QFile::remove(f.path("Untitled_0002.png")));
    ASSERT_TRUE(QDir(f.folder.path()).mkdir(QStringLiteral("Untitled_0002.png")));
    f.exportSlices({slices[0], slices[2], slices[0]});
    QuorvaneError error;
    EXPECT_FALSE(f.operation->writeToFiles(&error));
    EXPECT_TRUE(error);
    EXPECT_EQ(f.writtenNames(), QStringList{"Untitled_0001.png"});

    // Nothing visible: nothing to do, and nothing could be exported.
    slices[0]->setVisible(false);
    slices[2]->setVisible(false);
    EXPECT_FALSE(f.operation->canExport());
    EXPECT_TRUE(f.operation->writeToFiles());
    EXPECT_TRUE(f.operation->filesWrittenURLs().isEmpty());
    f.operation->setSourceType(kVLTMExportNothing);
    slices[2]->setVisible(true);
    EXPECT_TRUE(f.operation->canExport());
    EXPECT_TRUE(f.operation->writeToFiles());
    EXPECT_TRUE(f.operation->filesWrittenURLs().isEmpty());
}

TEST(ExportOperationTest, WithoutAFolderTheExportFailsAndWritesNowhere)
{
    ExportFixture f;
    f.operation->setFolderURL(QUrl());
    f.operation->setSourceType(kVLTMExportDrawing);
    const QDir working = QDir::current();
    const QStringList before = working.entryList(QDir::Files);
    QuorvaneError error;
    EXPECT_FALSE(f.operation->writeToFiles(&error));
    EXPECT_TRUE(error);
    EXPECT_EQ(working.entryList(QDir::Files), before);

    // A stored folder that is gone falls back to Documents/<product>/Exported Files.
    QTemporaryDir documents;
    QFile dirs(qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/user-dirs.dirs"));
    ASSERT_TRUE(QDir().mkpath(qEnvironmentVariable("XDG_CONFIG_HOME")));
    ASSERT_TRUE(dirs.open(QIODevice::WriteOnly));
    dirs.write(QStringLiteral("XDG_DOCUMENTS_DIR=\"%1\"\n").arg(documents.path()).toUtf8());
    dirs.close();
    EXPECT_FALSE(f.operation->restoreFolderURLFromBookmarkData(QStringLiteral("/no/such/folder")));
    const QString fallback = documents.path() + QStringLiteral("/Quorvane/Exported Files");
    EXPECT_EQ(f.operation->folderURL(), QUrl::fromLocalFile(fallback));
    EXPECT_TRUE(QFileInfo(fallback).isDir());
    EXPECT_EQ(platform::UserDefaults::standardUserDefaults()->objectForKey(kVLTMExportOptionsFolderURL).toString(),
              fallback);
    dirs.remove();
}

TEST(ExportOperationTest, BitmapsCarrySizeResolutionAndTransparencyInEveryFormat)
{
    ExportFixture f;
    const VXQSlicePtr slice = f.addSlice({10, 20, 100, 50});
    f.exportSlices({slice});
    f.operation->setDpi(144);
    f.operation->setScale(2);
    f.operation->setOverwriteExisting(true);
    for (const qint64 format : {kVLTMExportTIFF, kVLTMExportBMP, kVLTMExportGIF, kVLTMExportJPEG, kVLTMExportPNG}) {
        f.operation->setFormat(format);
        ASSERT_TRUE(f.operation->writeToFiles()) << format;
        const QString path = f.operation->filesWrittenURLs().value(0).toLocalFile();
        EXPECT_TRUE(path.endsWith(u'.' + f.operation->fileExtension()));
        const QImage image = readImage(path);
        EXPECT_EQ(image.size(), QSize(400, 200)) << format;
        if (format != kVLTMExportGIF) { // GIF keeps no resolution
            EXPECT_NEAR(image.dotsPerMeterX() * 0.0254, 144, 1) << format;
        }
    }
    // The PNG and GIF keep the transparent paper; the red square shows at its place.
    for (const QString& name : {QStringLiteral("Untitled_0001.png"), QStringLiteral("Untitled_0001.gif")}) {
        const QImage image = readImage(f.path(name));
        EXPECT_EQ(image.pixelColor(5, 5).alpha(), 0) << name.toStdString();
        const QColor square = image.pixelColor(100, 20); // the GIF's palette may shift it a little
        EXPECT_TRUE(square.red() > 240 && square.green() < 16 && square.blue() < 16) << name.toStdString();
    }
    // Paper behind, grey: one channel, the paper's white.
    f.operation->setTransparent(false);
    f.operation->setColorspace(QStringLiteral("Gray"));
    f.operation->setFormat(kVLTMExportPNG);
    ASSERT_TRUE(f.operation->writeToFiles());
    const QImage grey = readImage(f.path("Untitled_0001.png"));
    EXPECT_TRUE(grey.isGrayscale());
    EXPECT_EQ(grey.pixelColor(5, 5), QColor(Qt::white));

    // Too large for any bitmap: an error, not an empty success.
    f.operation->setDpi(1e7);
    QuorvaneError error;
    EXPECT_FALSE(f.operation->writeToFiles(&error));
    EXPECT_TRUE(error);
}

TEST(ExportOperationTest, PdfPagesAreTheRegionInPointsForEverySource)
{
    ExportFixture f;
    const VXQSlicePtr slice = f.addSlice({10, 20, 100, 50});
    f.operation->setFormat(kVLTMExportPDF);
    f.exportSlices({slice});
    EXPECT_EQ(pdfPageSize(f.operation->imageDataWithSourceAtIndex(slice.get(), 0)), QSizeF(100, 50));
    f.operation->setSourceType(kVLTMExportLayers);
    EXPECT_EQ(pdfPageSize(f.operation->imageDataWithSourceAtIndex(f.objects.get(), 0)), QSizeF(400, 300));
    f.operation->setSourceType(kVLTMExportSelection);
    const VXDrawableObjectPtr square = f.objects->objects().first();
    EXPECT_EQ(pdfPageSize(f.operation->imageDataWithSourceAtIndex(square.get(), 0)), square->bounds().size());

    // A layer alone, hidden or not, as a bitmap of the drawing's area.
    f.objects->setVisible(false);
    f.operation->setSourceType(kVLTMExportLayers);
    f.operation->setFormat(kVLTMExportPNG);
    QBuffer buffer;
    buffer.setData(f.operation->imageDataWithSourceAtIndex(f.objects.get(), 0));
    const QImage layer = QImageReader(&buffer).read();
    EXPECT_EQ(layer.size(), QSize(400, 300));
    EXPECT_EQ(layer.pixelColor(50, 40), QColor(Qt::red));
    EXPECT_EQ(f.drawing->size(), QStringLiteral("400 x 300 px"));
}

// A selected object leaves with its labels, in PDF and in bitmaps alike.
TEST(ExportOperationTest, SelectedObjectsKeepTheirTextLabels)
{
    ExportFixture f;
    auto park = std::make_shared<VXQLabelledShape>();
    park->adoptPathFromDrawing(platform::BezierPath::bezierPathWithRect({100, 100, 200, 120}));
    park->setStyle(VXStyle::styleWithFillColourStrokeColour(Qt::yellow, QColor()));
    f.objects->addObject(park);
    f.operation->setSourceType(kVLTMExportSelection);
    f.operation->setFormat(kVLTMExportPDF);
    const QByteArray bare = f.operation->imageDataWithSourceAtIndex(park.get(), 0);
    f.operation->setFormat(kVLTMExportPNG);
    QBuffer buffer;
    buffer.setData(f.operation->imageDataWithSourceAtIndex(park.get(), 0));
    const QImage plain = QImageReader(&buffer).read();
    ASSERT_FALSE(plain.isNull());

    park->newTextLabel();
    f.operation->setFormat(kVLTMExportPDF);
    const QByteArray labelled = f.operation->imageDataWithSourceAtIndex(park.get(), 0);
    EXPECT_FALSE(bare.contains("/FontFile"));
    EXPECT_TRUE(labelled.contains("/FontFile")) << "the label's glyphs are in the page";
    f.operation->setFormat(kVLTMExportPNG);
    QBuffer labelledBuffer;
    labelledBuffer.setData(f.operation->imageDataWithSourceAtIndex(park.get(), 0));
    const QImage withLabel = QImageReader(&labelledBuffer).read();
    ASSERT_EQ(withLabel.size(), plain.size());
    int changed = 0;
    for (int y = 0; y < plain.height(); ++y)
        for (int x = 0; x < plain.width(); ++x)
            changed += withLabel.pixel(x, y) != plain.pixel(x, y);
    EXPECT_GT(changed, 20) << "the label's glyphs show over the shape";
}

// Files of one name written one after another: each name is free, names already on disk are
// skipped, and the disk is checked about twice per file rather than once per earlier file.
TEST(ExportFileNamingTest, FreeNamesOfOneExportCostLinearChecks)
{
    QSet<QString> onDisk{QStringLiteral("/out/plan.png"), QStringLiteral("/out/plan-2.png")};
    qint64 checks = 0;
    exportnaming::FreeNameFinder finder(QStringLiteral("/out"), QStringLiteral("png"), [&](const QString& path) {
        ++checks;
        return onDisk.contains(path);
    });
    constexpr int files = 1000;
    QStringList names;
    for (int i = 0; i < files; ++i) {
        names.append(finder.freeBaseName(QStringLiteral("plan")));
        onDisk.insert(QStringLiteral("/out/%1.png").arg(names.last()));
    }
    EXPECT_EQ(names.mid(0, 3), (QStringList{"plan-1", "plan-3", "plan-4"}));
    EXPECT_EQ(names.last(), QStringLiteral("plan-%1").arg(files + 1));
    EXPECT_LE(checks, 2 * files + 3);

    // A name handed out but never written is handed out again; other bases start afresh.
    EXPECT_EQ(finder.freeBaseName(QStringLiteral("plan")), finder.freeBaseName(QStringLiteral("plan")));
    EXPECT_EQ(finder.freeBaseName(QStringLiteral("road")), QStringLiteral("road"));
}
