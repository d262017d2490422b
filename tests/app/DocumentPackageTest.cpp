// The map document package: a saved document reopens with everything it had, each file of
// the package holds what its readers expect, damage anywhere is refused without touching
// the disk, and a failed save leaves the previous package as it was.

#include "MapDocumentTestSupport.h"

#include "app/document/DocumentWorkProgress.h"
#include "app/document/MapDocumentPackage.h"
#include "app/document/QuorvaneDocumentController.h"
#include "app/services/MapDocumentServices.h"
#include "app/progress/ZQProgressController.h"
#include "app/progress/ZQProgressView.h"
#include "platform/foundation/ArchiveMemoryBudget.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/DocumentError.h"
#include "platform/ui/FileWrapper.h"
#include "platform/vantrix/drawables/VXImageShape.h"
#include "platform/vantrix/model/VXDrawingDocument.h"
#include "platform/vantrix/model/VXObjectOwnerLayer.h"
#include "platform/vantrix/render/DrawingRenderer.h"
#include "support/AddressSpaceLimit.h"
#include "support/ArchiveTesting.h"
#include "support/LogCapture.h"
#include "support/SettingScope.h"

#include <QAbstractButton>
#include <QApplication>
#include <QBuffer>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QDir>
#include <QImage>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <stdexcept>
#include <fcntl.h>
#include <sys/stat.h>

using mapdocumenttest::activeMappingLayer;
using mapdocumenttest::addSquares;
using mapdocumenttest::newMapDocument;
using mapdocumenttest::snapshot;
using platform::FileWrapper;
using platform::PropertyList;

namespace {

// An export operation as the package sees it: something that answers its settings.
class RecordedExportOperation : public ZQObject, public MapExportSettings {
    Q_OBJECT

public:
    QVariantMap state;
    QVariantMap restorableStateInfo() const override { return state; }
};

// A path that cannot be archived, to make a save fail part-way.
class UnarchivablePath : public VXDrawablePath {
    Q_OBJECT

public:
    void encodeWithCoder(platform::KeyedArchiver&) const override { throw std::runtime_error("disk full of paths"); }
};

QByteArray pngBytes(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

class DocumentPackageTest : public ::testing::Test {
protected:
    QTemporaryDir folder;
    QString packagePath = folder.filePath(QStringLiteral("Map.qvnl"));

    QUrl packageURL() const { return QUrl::fromLocalFile(packagePath); }

    void save(ZQQuorvaneDocument& document)
    {
        QuorvaneError error;
        ASSERT_TRUE(document.saveToURLOfTypeForSaveOperationError(packageURL(), kZQMapDocumentType,
                                                                  platform::Document::SaveOperation, &error))
            << error.localizedDescription().toStdString();
    }

    std::shared_ptr<ZQTrueQuorvaneDocument> open(QuorvaneError* error = nullptr)
    {
        auto document = std::make_shared<ZQTrueQuorvaneDocument>();
        QuorvaneError local;
        if (!document->initWithContentsOfURLOfTypeError(packageURL(), kZQMapDocumentType, error ? error : &local))
            return nullptr;
        return document;
    }

    QByteArray packageFile(const QString& name) const
    {
        QFile file(QDir(packagePath).filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    void replacePackageFile(const QString& name, const QByteArray& contents) const
    {
        QFile file(QDir(packagePath).filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(contents);
    }

    // A saved document with two layers, shared styles, metadata and settings everywhere.
    std::shared_ptr<ZQTrueQuorvaneDocument> savedDocument()
    {
        auto document = newMapDocument();
        addSquares(*activeMappingLayer(*document), 6);
        document->newDrawingLayer();
        activeMappingLayer(*document)->setLayerName(QStringLiteral("Roads"));
        addSquares(*activeMappingLayer(*document), 2);
        document->setMapScale(VXQMapScale::defaultScale()->mapScaleWithScale(50000));
        document->setPrescale(0.5);
        document->setDocumentInfo({{QStringLiteral("author"), QStringLiteral("Ada")}});
        document->setPrintInfo(QPageLayout(QPageSize(QPageSize::A3), QPageLayout::Landscape, QMarginsF(10, 20, 30, 40)));
        document->drawing()->setDrawingInfo({{QStringLiteral("title"), QStringLiteral("Harbour")}});
        document->setWindowRestorationState({{QStringLiteral("splits"), QVariantList{120, 700, 180}}});
        save(*document);
        return document;
    }
};

QStringList layerNames(const VXDrawing& drawing)
{
    QStringList names;
    for (const VXLayerPtr& layer : drawing.flattenedLayers(true))
        names << layer->className() + QLatin1Char(':') + layer->layerName();
    return names;
}

TEST_F(DocumentPackageTest, ReopensWithEverythingAndEachFileHoldsWhatItsReadersExpect)
{
    SKIP_CAPPED_UNDER_ADDRESS_SANITIZER();
    const auto saved = savedDocument();
    // Each file is read at its size, so a small address space is plenty.
    const auto reopened = [this] {
        testsupport::AddressSpaceLimit limit;
        return open();
    }();
    ASSERT_TRUE(reopened);
    EXPECT_EQ(layerNames(*reopened->drawing()), layerNames(*saved->drawing()));
    EXPECT_EQ(reopened->activeLayer()->layerName(), QStringLiteral("Roads"));
    const VXQMappingLayer* mapLayer = nullptr;
    for (const VXLayerPtr& layer : reopened->drawing()->flattenedLayers())
        if (layer->layerName() == QStringLiteral("Layer 1"))
            mapLayer = dynamic_cast<VXQMappingLayer*>(layer.get());
    ASSERT_TRUE(mapLayer);
    ASSERT_EQ(mapLayer->countOfObjects(), 6);
    const auto& objects = mapLayer->objects();
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(objects[i]->metadataValueForKey(QStringLiteral("id")).toInt(), i);
    // Objects that shared a style still share one style object.
    EXPECT_EQ(objects[0]->style(), objects[2]->style());
    EXPECT_EQ(objects[1]->style(), objects[5]->style());
    EXPECT_EQ(mapLayer->allStyles().size(), 2);

    EXPECT_DOUBLE_EQ(reopened->mapScale()->scale(), 50000);
    EXPECT_DOUBLE_EQ(reopened->prescale(), 0.5);
    EXPECT_TRUE(reopened->printInfo().isEquivalentTo(saved->printInfo()));
    EXPECT_EQ(reopened->printInfo().orientation(), QPageLayout::Landscape);
    EXPECT_EQ(reopened->documentInfo().value(QStringLiteral("author")), QStringLiteral("Ada"));
    EXPECT_EQ(reopened->drawing()->drawingInfo().value(QStringLiteral("title")), QStringLiteral("Harbour"));
    EXPECT_EQ(reopened->windowRestorationState().value(QStringLiteral("splits")).toList(),
              (QVariantList{120, 700, 180}));
    EXPECT_FALSE(reopened->isDocumentEdited());

    const auto info = PropertyList::fromData(packageFile(MapDocumentPackage::kInfoFileName));
    ASSERT_TRUE(info);
    const QVariantMap infoMap = info->toMap();
    const VXDrawing& drawing = *saved->drawing();
    EXPECT_DOUBLE_EQ(infoMap.value(MapDocumentPackage::kInfoWidthKey).toDouble(),
                     drawing.convertLength(drawing.drawingSize().width()));
    EXPECT_DOUBLE_EQ(infoMap.value(MapDocumentPackage::kInfoHeightKey).toDouble(),
                     drawing.convertLength(drawing.drawingSize().height()));
    EXPECT_EQ(infoMap.value(MapDocumentPackage::kInfoUnitsKey).toString(), saved->drawing()->drawingUnits());
    EXPECT_EQ(infoMap.value(QStringLiteral("title")), QStringLiteral("Harbour"));
    const QImage thumbnail = QImage::fromData(packageFile(QStringLiteral("QuickLook/Thumbnail.jpg")), "JPEG");
    EXPECT_EQ(std::max(thumbnail.width(), thumbnail.height()), MapDocumentPackage::kThumbnailSide);
    EXPECT_TRUE(packageFile(QStringLiteral("QuickLook/Preview.pdf")).startsWith("%PDF"));
    // No export operation, no export settings.
    EXPECT_FALSE(QFile::exists(QDir(packagePath).filePath(MapDocumentPackage::kExportSettingsFileName)));
}

TEST_F(DocumentPackageTest, FilesTheMapDoesNotReadAreNotReadAndEverySaveKeepsThem)
{
    SKIP_CAPPED_UNDER_ADDRESS_SANITIZER();
    savedDocument();
    // A sparse file larger than the address space below, with bytes at both ends; notes; and a
    // file in the folder whose previews the map writes.
    constexpr qint64 kLarge = qint64(3) << 30;
    {
        QFile large(QDir(packagePath).filePath(QStringLiteral("survey.bin")));
        ASSERT_TRUE(large.open(QIODevice::WriteOnly) && large.write("start") == 5 && large.seek(kLarge - 3)
                    && large.write("end") == 3);
    }
    replacePackageFile(QStringLiteral("notes.txt"), "Bring the red pens.\n");
    replacePackageFile(QStringLiteral("QuickLook/Credits.txt"), "Photos: K.");
    const auto document = [this] {
        testsupport::AddressSpaceLimit limit;
        return open();
    }();
    ASSERT_TRUE(document);

    const auto expectKept = [&](const QString& package) {
        const QDir files(package);
        QFile notes(files.filePath(QStringLiteral("notes.txt"))), credits(files.filePath(QStringLiteral("QuickLook/Credits.txt")));
        EXPECT_TRUE(notes.open(QIODevice::ReadOnly) && notes.readAll() == "Bring the red pens.\n") << qPrintable(package);
        EXPECT_TRUE(credits.open(QIODevice::ReadOnly) && credits.readAll() == "Photos: K.") << qPrintable(package);
        EXPECT_TRUE(QFileInfo(files.filePath(QStringLiteral("QuickLook/Thumbnail.jpg"))).isFile());
        const QByteArray large = QFile::encodeName(files.filePath(QStringLiteral("survey.bin")));
        struct stat status {};
        ASSERT_EQ(::stat(large.constData(), &status), 0) << qPrintable(package);
        EXPECT_EQ(status.st_size, kLarge);
        EXPECT_LT(status.st_blocks * 512, 1 << 20); // still sparse
        QFile file(QString::fromLocal8Bit(large));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.read(5), "start");
        ASSERT_TRUE(file.seek(kLarge - 4));
        EXPECT_EQ(file.read(4), QByteArray("\0end", 4));
    };
    save(*document);
    expectKept(packagePath);
    // Saved as another package, which the next save replaces once the first is gone.
    const QUrl elsewhere = QUrl::fromLocalFile(folder.filePath(QStringLiteral("Elsewhere.qvnl")));
    QuorvaneError error;
    ASSERT_TRUE(document->saveToURLOfTypeForSaveOperationError(elsewhere, kZQMapDocumentType,
                                                               platform::Document::SaveAsOperation, &error));
    expectKept(elsewhere.toLocalFile());
    ASSERT_TRUE(QDir(packagePath).removeRecursively());
    ASSERT_TRUE(document->saveToURLOfTypeForSaveOperationError(elsewhere, kZQMapDocumentType,
                                                               platform::Document::SaveOperation, &error))
        << qPrintable(error.userInfo().value(QStringLiteral("exception")).toString());
    expectKept(elsewhere.toLocalFile());
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("Elsewhere.qvnl")});
}

TEST_F(DocumentPackageTest, ASaveIsCheckedForWhatItsOpeningTakesNotForTheMemoryLeftBesideTheMap)
{
    auto document = newMapDocument();
    addSquares(*activeMappingLayer(*document), 50);
    // As though the map in memory left less than its archive's table of entries takes.
    constexpr qint64 kScarce = 2'000;
    {
        const platform::archive::MemoryBudgetScope scarce(kScarce);
        save(*document);
    }
    const QByteArray content = packageFile(MapDocumentPackage::kContentFileName);
    {
        const platform::archive::MemoryBudgetScope scarce(kScarce);
        EXPECT_FALSE(platform::KeyedUnarchiver(content).isValid());
    }
    const auto reopened = open();
    ASSERT_TRUE(reopened);
    EXPECT_EQ(activeMappingLayer(*reopened)->countOfObjects(), 50);
}

TEST_F(DocumentPackageTest, ExportSettingsTravelThroughTheInstalledFactory)
{
    auto document = newMapDocument();
    auto operation = std::make_shared<RecordedExportOperation>();
    operation->state = {{QStringLiteral("format"), QStringLiteral("PNG")}, {QStringLiteral("dpi"), 300}};
    document->setExportOperation(operation);
    save(*document);
    EXPECT_TRUE(QFile::exists(QDir(packagePath).filePath(MapDocumentPackage::kExportSettingsFileName)));

    QVariantMap received;
    const testsupport::SettingScope factory(&ZQQuorvaneDocument::exportOperationFactory,
                                            &ZQQuorvaneDocument::setExportOperationFactory,
                                            [&](const QVariantMap& state) -> ZQObjectPtr {
                                                received = state;
                                                return std::make_shared<RecordedExportOperation>();
                                            });
    const auto reopened = open();
    ASSERT_TRUE(reopened);
    EXPECT_TRUE(reopened->exportOperation());
    EXPECT_EQ(received, operation->state);
}

// Each way a file of the package can be damaged, in each place that is read.
TEST_F(DocumentPackageTest, DamagedPackagesAreRefusedWithoutTouchingTheDisk)
{
    savedDocument();
    const QByteArray foreign = QByteArray::fromHex("89504e470d0a1a0a0000000d49484452"); // a PNG's start
    const QStringList places{MapDocumentPackage::kContentFileName, MapDocumentPackage::kInfoFileName,
                             MapDocumentPackage::kAuxiliaryFileName};
    for (const QString& place : places) {
        const QByteArray original = packageFile(place);
        const QList<QPair<QString, QByteArray>> damages{
            {QStringLiteral("empty"), QByteArray()},
            {QStringLiteral("truncated"), original.left(original.size() / 2)},
            {QStringLiteral("foreign"), foreign},
        };
        for (const auto& [kind, bytes] : damages) {
            replacePackageFile(place, bytes);
            const auto before = snapshot(packagePath);
            QuorvaneError error;
            testsupport::LogCapture log;
            EXPECT_FALSE(open(&error)) << place.toStdString() << " " << kind.toStdString();
            EXPECT_TRUE(log.contains(QStringLiteral("The document could not be read: ")));
            EXPECT_FALSE(log.contains(QStringLiteral(".:"))) << qPrintable(log.lines.join('\n'));
            EXPECT_EQ(error.code(), kQuorvaneDocumentError) << place.toStdString() << " " << kind.toStdString();
            EXPECT_EQ(error.domain(), kQuorvaneErrorDomain);
            EXPECT_TRUE(error.userInfo().contains(QStringLiteral("VXOriginalException")))
                << place.toStdString() << " " << kind.toStdString();
            EXPECT_EQ(snapshot(packagePath), before);
        }
        // A folder where a file belongs.
        QFile::remove(QDir(packagePath).filePath(place));
        ASSERT_TRUE(QDir(packagePath).mkdir(place));
        QuorvaneError error;
        EXPECT_FALSE(open(&error)) << place.toStdString() << " folder";
        EXPECT_EQ(error.code(), kQuorvaneDocumentError);
        ASSERT_TRUE(QDir(QDir(packagePath).filePath(place)).removeRecursively());
        replacePackageFile(place, original);
        EXPECT_TRUE(open()) << place.toStdString() << " restored";
    }

    // An object that is not what its place expects gives its message, not where the code checked it.
    testsupport::ArchiveStub grid;
    grid.values = {{QStringLiteral("ZQMatrixArray_rowWidth"), 0}};
    replacePackageFile(MapDocumentPackage::kContentFileName, grid.archiveAs(QStringLiteral("ZQMatrixArray")));
    QuorvaneError error;
    EXPECT_FALSE(open(&error));
    EXPECT_EQ(error.localizedDescription(), QStringLiteral("The document “Map.qvnl” could not be opened."));
    const QString reason = error.userInfo().value(QStringLiteral("VXOriginalException")).toString();
    EXPECT_TRUE(reason.contains(QStringLiteral("a height grid with a row width of 0"))) << reason.toStdString();
    EXPECT_FALSE(reason.contains(QStringLiteral("Assertion")) || reason.contains(QStringLiteral(".cpp")))
        << reason.toStdString();
}

TEST_F(DocumentPackageTest, MissingDrawingPlainFileAndAbsentFolderAreRefused)
{
    savedDocument();
    const auto expectRefused = [this](const char* what) {
        QuorvaneError error;
        EXPECT_FALSE(open(&error)) << what;
        EXPECT_EQ(error.code(), kQuorvaneDocumentError) << what;
        return error.userInfo().value(QStringLiteral("VXOriginalException")).toString();
    };
    const QString drawingFile = QDir(packagePath).filePath(MapDocumentPackage::kContentFileName);
    const QString kept = QDir(packagePath).filePath(QStringLiteral("kept"));
    ASSERT_TRUE(QFile::rename(drawingFile, kept));
    // Members that are not files are named for what they are.
    ASSERT_TRUE(QFile::link(kept, drawingFile));
    EXPECT_EQ(expectRefused("a link"), QStringLiteral("“%1”: it is a symbolic link").arg(MapDocumentPackage::kContentFileName));
    QFile::remove(drawingFile);
    ASSERT_EQ(mkfifo(QFile::encodeName(drawingFile).constData(), 0600), 0);
    EXPECT_TRUE(expectRefused("a pipe").endsWith(QStringLiteral("it is a pipe, not a file")));
    QFile::remove(drawingFile);
    EXPECT_TRUE(expectRefused("no drawing").contains("missing"));
    ASSERT_TRUE(QDir(packagePath).removeRecursively());
    EXPECT_FALSE(expectRefused("no package").isEmpty());
    QFile plain(packagePath);
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.write(VXDrawingDocument::archivedDrawing(*newMapDocument()->drawing()));
    plain.close();
    EXPECT_FALSE(expectRefused("a plain file").isEmpty());
}

TEST_F(DocumentPackageTest, DamagedWindowStateOrAScaleMissingFromTheAuxiliaryArchiveFallBack)
{
    savedDocument();
    for (const QByteArray& damage :
         {QByteArray("not a plist"), QByteArray(), PropertyList::toData(QVariantList{1, 2}, PropertyList::Format::Xml).value()}) {
        replacePackageFile(MapDocumentPackage::kWindowStateFileName, damage);
        testsupport::LogCapture log;
        const auto reopened = open();
        ASSERT_TRUE(reopened);
        EXPECT_TRUE(reopened->windowRestorationState().isEmpty());
        EXPECT_TRUE(log.contains(QStringLiteral("window restoration state could not be read")));
    }

    const auto replaceAuxiliaryRoot = [this](const QVariantMap& root) {
        platform::KeyedArchiver archiver;
        archiver.encodeObject(QVariant(root), QStringLiteral("root"));
        replacePackageFile(MapDocumentPackage::kAuxiliaryFileName, archiver.finishEncoding());
    };
    replaceAuxiliaryRoot({{MapDocumentPackage::kDocumentInfoKey, QVariantMap()}});
    const auto withoutScale = open();
    ASSERT_TRUE(withoutScale && withoutScale->mapScale());
    EXPECT_TRUE(withoutScale->mapScale()->isEqualToMapScale(VXQMapScale::defaultScale().get()));
    EXPECT_DOUBLE_EQ(withoutScale->prescale(), ZQQuorvaneDocument::defaultPrescale());
    // A prescale no document could have set reads as the default; a whole number is a number.
    for (const QVariant& prescale : {QVariant(-2.0), QVariant(qQNaN()), QVariant(QStringLiteral("0.5")), QVariant(0)}) {
        replaceAuxiliaryRoot({{MapDocumentPackage::kPrescaleKey, prescale}});
        testsupport::LogCapture log;
        const auto reopened = open();
        ASSERT_TRUE(reopened);
        EXPECT_DOUBLE_EQ(reopened->prescale(), ZQQuorvaneDocument::defaultPrescale()) << prescale.toString().toStdString();
        EXPECT_TRUE(log.contains(QStringLiteral("prescale could not be read")));
    }
    replaceAuxiliaryRoot({{MapDocumentPackage::kPrescaleKey, 3}});
    EXPECT_DOUBLE_EQ(open()->prescale(), 3.0);
    // So does a shapefile transform that is not six finite numbers of an invertible transform.
    for (const QVariant& transform : {QVariant(QVariantList{1, 0, 0, 1, 5}), QVariant(QVariantList{1, 0, 0, qInf(), 0, 0}),
                                      QVariant(QVariantList{0, 0, 0, 0, 1, 1}), QVariant(QStringLiteral("1 0 0 1 0 0"))}) {
        replaceAuxiliaryRoot({{MapDocumentPackage::kShapefileTransformKey, transform}});
        testsupport::LogCapture log;
        const auto reopened = open();
        ASSERT_TRUE(reopened);
        EXPECT_FALSE(reopened->shapefileTransform());
        EXPECT_TRUE(log.contains(QStringLiteral("shapefile transform could not be read")));
    }
    replaceAuxiliaryRoot({{MapDocumentPackage::kShapefileTransformKey, QVariantList{2, 0, 0, -2, 10, 700}}});
    EXPECT_EQ(open()->shapefileTransform(),
              QTransform(2, 0, 0, -2, 10, 700));
    // A package from before the auxiliary archive existed opens the same way.
    QFile::remove(QDir(packagePath).filePath(MapDocumentPackage::kAuxiliaryFileName));
    const auto older = open();
    ASSERT_TRUE(older);
    EXPECT_TRUE(older->mapScale()->isEqualToMapScale(VXQMapScale::defaultScale().get()));
}

TEST_F(DocumentPackageTest, FailedWritesKeepThePreviousPackage)
{
    ZQTrueQuorvaneDocument empty; // never initialised: no drawing
    QuorvaneError error;
    EXPECT_FALSE(empty.fileWrapperOfTypeError(kZQMapDocumentType, &error));
    EXPECT_EQ(error.code(), kQuorvaneNoDrawingDataError);
    EXPECT_TRUE(error.userInfo().contains(QStringLiteral("exception")));
    error = {};
    EXPECT_FALSE(newMapDocument()->fileWrapperOfTypeError(QStringLiteral("Spreadsheet"), &error));
    EXPECT_EQ(error.code(), kQuorvaneDocumentError);

    const auto document = savedDocument();
    const auto before = snapshot(packagePath);
    ASSERT_FALSE(before.isEmpty());
    auto broken = std::make_shared<UnarchivablePath>();
    broken->setPath(platform::BezierPath::bezierPathWithRect(QRectF(0, 0, 5, 5)));
    activeMappingLayer(*document)->addObject(broken);
    document->undoManager()->closeAutomaticGroup();
    ASSERT_TRUE(document->isDocumentEdited());

    error = {};
    EXPECT_FALSE(document->saveToURLOfTypeForSaveOperationError(packageURL(), kZQMapDocumentType,
                                                                 platform::Document::SaveOperation, &error));
    EXPECT_EQ(error.code(), kQuorvaneDocumentError);
    EXPECT_TRUE(error.userInfo().value(QStringLiteral("exception")).toString().contains("disk full of paths"));
    EXPECT_EQ(snapshot(packagePath), before);
    EXPECT_TRUE(document->isDocumentEdited());
    // Nothing is left beside the package either.
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("Map.qvnl")});
}

TEST_F(DocumentPackageTest, ShapesShowingOneImageShareItsPixelsAndImagesPastTheBudgetAreRefused)
{
    SKIP_CAPPED_UNDER_ADDRESS_SANITIZER();
    // Forty shapes of one picture of 4096 x 4096 pixels took forty times its 64 MB when drawn.
    QImage red(4096, 4096, QImage::Format_ARGB32);
    red.fill(Qt::red);
    const QByteArray picture = pngBytes(red);
    {
        auto document = newMapDocument();
        for (int i = 0; i < 40; ++i) {
            auto shape = VXImageShape::imageShapeWithImageData(QByteArray(picture.constData(), picture.size()));
            shape->setSize({10, 10});
            shape->setLocation(QPointF(10 + 12 * i, 10));
            activeMappingLayer(*document)->addObject(shape);
        }
        save(*document);
    }
    {
        testsupport::AddressSpaceLimit limit;
        const auto reopened = open();
        ASSERT_TRUE(reopened);
        save(*reopened); // its previews draw every shape
        const QImage drawn =
            platform::DrawingRenderer::imageOfDrawing(*reopened->drawing(), {0, 0, 500, 20}, {500, 20}, Qt::white);
        const auto& shapes = activeMappingLayer(*reopened)->objects();
        ASSERT_EQ(shapes.size(), 40);
        for (int i = 0; i < 40; ++i) {
            EXPECT_EQ(drawn.pixelColor(10 + 12 * i, 10), QColor(Qt::red)) << i;
            EXPECT_EQ(qobject_cast<VXImageShape*>(shapes[i].get())->sharedImage(),
                      qobject_cast<VXImageShape*>(shapes[0].get())->sharedImage());
        }
    }

    // Five images of 64 million pixels pass the budget: the document is refused before they decode.
    auto document = newMapDocument();
    for (int i = 0; i < 5; ++i) {
        QImage large(8192, 8192 - i, QImage::Format_Mono);
        large.fill(0);
        auto shape = std::make_shared<VXImageShape>();
        shape->setImageData(pngBytes(large));
        activeMappingLayer(*document)->addObject(shape);
    }
    save(*document);
    QuorvaneError error;
    EXPECT_FALSE(open(&error));
    EXPECT_EQ(error.code(), kQuorvaneDocumentError);
    const QString reason = error.userInfo().value(QStringLiteral("VXOriginalException")).toString();
    EXPECT_TRUE(reason.contains(QStringLiteral("8192 × 8188"))) << reason.toStdString();
}

} // namespace

// Presses Stop on the save or open in progress once it has reached `stopAt`, recording the
// fractions the window showed on the way.
class StopPresser {
public:
    explicit StopPresser(double stopAt) : m_previousDelay(DocumentWorkProgress::setShowDelay({}))
    {
        m_timer.setInterval(0);
        QObject::connect(&m_timer, &QTimer::timeout, [this, stopAt] {
            for (ZQProgressView* row : ZQProgressController::sharedProgress()->displayedProgressViews()) {
                if (!qobject_cast<DocumentWorkProgress*>(dynamic_cast<QObject*>(row->delegate())))
                    continue;
                prompts.append(row->promptString());
                fractions.append(row->fraction());
                if (row->fraction() >= stopAt && row->stopButton())
                    row->stopButton()->click();
            }
        });
        m_timer.start();
    }
    ~StopPresser() { DocumentWorkProgress::setShowDelay(m_previousDelay); }

    QStringList prompts;
    QList<double> fractions;

private:
    std::chrono::milliseconds m_previousDelay;
    QTimer m_timer;
};

bool documentRowShown()
{
    const QList<ZQProgressView*> rows = ZQProgressController::sharedProgress()->displayedProgressViews();
    return std::any_of(rows.cbegin(), rows.cend(), [](ZQProgressView* row) {
        return qobject_cast<DocumentWorkProgress*>(dynamic_cast<QObject*>(row->delegate())) != nullptr;
    });
}

TEST_F(DocumentPackageTest, StoppingASavePartWayKeepsThePreviousPackageByteForByte)
{
    const auto document = savedDocument();
    const auto before = snapshot(packagePath);
    addSquares(*activeMappingLayer(*document), 3);
    document->undoManager()->closeAutomaticGroup();

    QuorvaneError error;
    {
        StopPresser presser(0.8);
        EXPECT_FALSE(document->saveToURLOfTypeForSaveOperationError(packageURL(), kZQMapDocumentType,
                                                                     platform::Document::SaveOperation, &error));
        ASSERT_FALSE(presser.fractions.isEmpty());
        EXPECT_TRUE(presser.prompts.first().startsWith(QStringLiteral("Saving")));
        EXPECT_EQ(presser.fractions.first(), 0.0);
        EXPECT_EQ(presser.fractions.last(), 0.8);
    }
    EXPECT_EQ(error.userInfo().value(platform::kWriteFailureReasonKey).toString(), QStringLiteral("stopped by the user"));
    EXPECT_EQ(snapshot(packagePath), before);
    EXPECT_TRUE(document->isDocumentEdited());
    EXPECT_FALSE(documentRowShown());

    // Without Stop the same save goes through and the row goes with it.
    {
        StopPresser never(2.0);
        save(*document);
        EXPECT_EQ(never.fractions.last(), 1.0);
    }
    EXPECT_NE(snapshot(packagePath), before);
    EXPECT_FALSE(documentRowShown());
}

TEST_F(DocumentPackageTest, StoppingAnOpenOpensNothing)
{
    savedDocument();
    QuorvaneError error;
    {
        StopPresser presser(0.8);
        EXPECT_EQ(open(&error), nullptr);
        ASSERT_FALSE(presser.prompts.isEmpty());
        EXPECT_EQ(presser.prompts.first(), QStringLiteral("Opening “Map”")); // the package's name, not a new untitled one
    }
    EXPECT_EQ(error.userInfo().value(platform::kReadFailureReasonKey).toString(), QStringLiteral("stopped by the user"));
    EXPECT_FALSE(documentRowShown());

    // The package itself was fine: it opens when nobody stops it.
    StopPresser never(2.0);
    EXPECT_NE(open(), nullptr);
}

QMessageBox* shownAlert()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible())
            return box;
    return nullptr;
}

TEST_F(DocumentPackageTest, StoppingASaveOrAnOpenFailsWithoutAnAlertWhileADamagedPackageHasOne)
{
    const auto document = savedDocument();
    addSquares(*activeMappingLayer(*document), 3);
    document->undoManager()->closeAutomaticGroup();
    {
        StopPresser presser(0.5);
        document->saveDocument(nullptr);
        EXPECT_FALSE(presser.fractions.isEmpty());
    }
    platform::RunLoop::runUntilIdle();
    EXPECT_TRUE(document->isDocumentEdited());
    EXPECT_EQ(shownAlert(), nullptr);

    QuorvaneDocumentController controller;
    QObject recent;
    recent.setProperty("representedObject", packageURL());
    {
        StopPresser presser(0.5);
        controller.openRecentDocument(&recent);
    }
    platform::RunLoop::runUntilIdle();
    EXPECT_TRUE(controller.documents().isEmpty());
    EXPECT_EQ(shownAlert(), nullptr);

    replacePackageFile(MapDocumentPackage::kContentFileName, "torn");
    controller.openRecentDocument(&recent);
    platform::RunLoop::runUntilIdle();
    EXPECT_TRUE(controller.documents().isEmpty());
    QMessageBox* alert = shownAlert();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->text(), QStringLiteral("The document “Map.qvnl” could not be opened."));
    alert->buttons().first()->click();
    platform::RunLoop::runUntilIdle();
}

qsizetype objectCount(const VXDrawing& drawing)
{
    qsizetype count = 0;
    for (const VXLayerPtr& layer : drawing.flattenedLayers(true)) {
        if (const auto* owner = qobject_cast<const VXObjectOwnerLayer*>(layer.get()))
            count += owner->objects().size();
    }
    return count;
}

void expectHeardThroughTheArchive(const QList<double>& fractions, double archiveEnd)
{
    EXPECT_TRUE(std::is_sorted(fractions.cbegin(), fractions.cend()));
    EXPECT_GT(std::count_if(fractions.cbegin(), fractions.cend(), [=](double f) { return f > 0 && f < archiveEnd; }), 20);
    EXPECT_EQ(fractions.last(), 1.0);
}

TEST_F(DocumentPackageTest, ALargeMapsSaveAndOpenAreHeardThroughTheirArchivesAndStopThere)
{
    const auto document = newMapDocument();
    addSquares(*activeMappingLayer(*document), 3000);
    {
        StopPresser never(2.0);
        save(*document);
        expectHeardThroughTheArchive(never.fractions, 0.8);
    }
    // Being heard changed no byte of the drawing's archive.
    EXPECT_EQ(packageFile(MapDocumentPackage::kContentFileName), VXDrawingDocument::archivedDrawing(*document->drawing()));
    {
        StopPresser never(2.0);
        const auto reopened = open();
        ASSERT_TRUE(reopened);
        EXPECT_EQ(objectCount(*reopened->drawing()), 3000);
        expectHeardThroughTheArchive(never.fractions, 0.8);
    }

    const auto before = snapshot(packagePath);
    addSquares(*activeMappingLayer(*document), 3);
    document->undoManager()->closeAutomaticGroup();
    QuorvaneError error;
    {
        StopPresser presser(0.4);
        EXPECT_FALSE(document->saveToURLOfTypeForSaveOperationError(packageURL(), kZQMapDocumentType,
                                                                     platform::Document::SaveOperation, &error));
        EXPECT_LT(presser.fractions.last(), 0.8); // stopped while encoding
    }
    EXPECT_EQ(error.userInfo().value(platform::kWriteFailureReasonKey).toString(), QStringLiteral("stopped by the user"));
    EXPECT_EQ(snapshot(packagePath), before);
    {
        StopPresser presser(0.4);
        EXPECT_EQ(open(&error), nullptr);
        EXPECT_LT(presser.fractions.last(), 0.8); // stopped while decoding
    }
    EXPECT_EQ(error.userInfo().value(platform::kReadFailureReasonKey).toString(), QStringLiteral("stopped by the user"));
}

TEST_F(DocumentPackageTest, ThePreviewOfASaveIsHeardWhileItIsPaintedAndStopsThere)
{
    const auto document = newMapDocument();
    addSquares(*activeMappingLayer(*document), 300);
    const MapDocumentContents contents{document->drawing()};
    QList<double> fractions;
    QuorvaneError error;
    ASSERT_TRUE(MapDocumentPackage::write(contents, &error, [&](double fraction) {
        fractions.append(fraction);
        return true;
    }));
    EXPECT_TRUE(std::is_sorted(fractions.cbegin(), fractions.cend()));
    // The preview is all that is painted after the check, at 0.9.
    EXPECT_GE(std::count_if(fractions.cbegin(), fractions.cend(), [](double f) { return f > 0.9 && f < 1; }), 1);

    double asked = 0;
    EXPECT_FALSE(MapDocumentPackage::write(contents, &error, [&](double fraction) { return (asked = fraction) <= 0.9; }));
    EXPECT_LT(asked, 1.0); // stopped while painting, not at the end
    EXPECT_EQ(error.userInfo().value(platform::kWriteFailureReasonKey).toString(), QStringLiteral("stopped by the user"));
}

TEST_F(DocumentPackageTest, OtherWindowsTakeNoInputAndStayOpenWhileASaveRuns)
{
    const auto document = savedDocument();
    QPushButton other(QStringLiteral("Delete"));
    other.resize(80, 30);
    other.show();
    int clicks = 0;
    QObject::connect(&other, &QPushButton::clicked, [&] { ++clicks; });
    const auto click = [&] {
        const QPointF centre(40, 15);
        QMouseEvent press(QEvent::MouseButtonPress, centre, other.mapToGlobal(centre), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, centre, other.mapToGlobal(centre), Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QCoreApplication::sendEvent(&other, &press);
        QCoreApplication::sendEvent(&other, &release);
    };

    bool closedDuringSave = true;
    bool triedDuringSave = false;
    {
        StopPresser never(2.0);
        QTimer::singleShot(0, [&] {
            triedDuringSave = true;
            click();
            closedDuringSave = other.close();
        });
        save(*document);
    }
    ASSERT_TRUE(triedDuringSave);
    EXPECT_EQ(clicks, 0);
    EXPECT_FALSE(closedDuringSave);
    EXPECT_TRUE(other.isVisible());

    click();
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(other.close());
}

struct stat statusOf(const QString& path)
{
    struct stat status {};
    EXPECT_EQ(::lstat(QFile::encodeName(path).constData(), &status), 0) << qPrintable(path);
    return status;
}

TEST_F(DocumentPackageTest, KeptFilesThatCannotBeCarriedOverAreLeftOutAndToldAfterTheMapIsSaved)
{
    savedDocument();
    for (const char* name : {"notes.txt", "legend.txt", "sources.txt", "QuickLook/Credits.txt", "index.txt"})
        replacePackageFile(QString::fromLatin1(name), "kept");
    const auto document = open();
    ASSERT_TRUE(document);
    // Gone; swapped for a link, for a folder; a folder swapped for a link to one outside.
    QDir package(packagePath), outside(folder.filePath(QStringLiteral("Outside")));
    ASSERT_TRUE(outside.mkpath(QStringLiteral(".")));
    ASSERT_TRUE(QFile(outside.filePath(QStringLiteral("Credits.txt"))).open(QIODevice::WriteOnly));
    ASSERT_TRUE(package.remove(QStringLiteral("notes.txt")));
    ASSERT_TRUE(package.remove(QStringLiteral("legend.txt"))
                && QFile::link(outside.filePath(QStringLiteral("Credits.txt")), package.filePath(QStringLiteral("legend.txt"))));
    ASSERT_TRUE(package.remove(QStringLiteral("sources.txt")) && package.mkdir(QStringLiteral("sources.txt")));
    ASSERT_TRUE(QDir(package.filePath(QStringLiteral("QuickLook"))).removeRecursively()
                && QFile::link(outside.path(), package.filePath(QStringLiteral("QuickLook"))));
    addSquares(*activeMappingLayer(*document), 1);
    document->undoManager()->closeAutomaticGroup();

    document->saveDocument(nullptr);
    EXPECT_FALSE(document->isDocumentEdited());
    EXPECT_EQ(shownAlert(), nullptr); // told once the save has ended
    platform::RunLoop::runUntilIdle();
    QMessageBox* alert = shownAlert();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->icon(), QMessageBox::Warning);
    EXPECT_EQ(alert->text(), QStringLiteral("The document “Map.qvnl” was saved without some of the files it held."));
    EXPECT_EQ(alert->informativeText(), QStringLiteral("“QuickLook/Credits.txt” was left out: “QuickLook”: Not a directory.\n"
                                                       "“legend.txt” was left out: it is a symbolic link.\n"
                                                       "“notes.txt” was left out: No such file or directory.\n"
                                                       "“sources.txt” was left out: it is a folder."));
    alert->buttons().first()->click();
    platform::RunLoop::runUntilIdle();

    const auto reopened = open();
    ASSERT_TRUE(reopened);
    EXPECT_EQ(objectCount(*reopened->drawing()), objectCount(*document->drawing()));
    EXPECT_EQ(packageFile(QStringLiteral("index.txt")), "kept");
    EXPECT_EQ(QDir(packagePath).entryList({QStringLiteral("*.txt")}, QDir::AllEntries | QDir::System),
              QStringList{QStringLiteral("index.txt")});
    EXPECT_EQ(QDir(package.filePath(QStringLiteral("QuickLook"))).entryList(QDir::Files),
              (QStringList{MapDocumentPackage::kPreviewFileName, MapDocumentPackage::kThumbnailFileName}));

    // Told once: what was left out is no longer the document's, and later saves say nothing.
    QuorvaneError error;
    ASSERT_TRUE(document->saveToURLOfTypeForSaveOperationError(QUrl::fromLocalFile(folder.filePath(QStringLiteral("Copy.qvnl"))),
                                                               kZQMapDocumentType, platform::Document::SaveToOperation, &error));
    save(*document);
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(shownAlert(), nullptr);
    EXPECT_EQ(packageFile(QStringLiteral("index.txt")), "kept");
}

TEST_F(DocumentPackageTest, APackageRenamedWhileOpenStillCarriesItsFiles)
{
    savedDocument();
    replacePackageFile(QStringLiteral("notes.txt"), "Bring the red pens.\n");
    const auto document = open();
    ASSERT_TRUE(document);
    const QString moved = folder.filePath(QStringLiteral("Moved.qvnl"));
    ASSERT_TRUE(QDir().rename(packagePath, moved));
    addSquares(*activeMappingLayer(*document), 1);
    document->undoManager()->closeAutomaticGroup();
    save(*document);
    EXPECT_EQ(packageFile(QStringLiteral("notes.txt")), "Bring the red pens.\n");
    // The renamed package is not the one replaced: it keeps a file of its own.
    EXPECT_NE(statusOf(moved + QStringLiteral("/notes.txt")).st_ino, statusOf(packagePath + QStringLiteral("/notes.txt")).st_ino);

    // Moved again after that save, the package saved is the one followed.
    ASSERT_TRUE(QDir().rename(packagePath, folder.filePath(QStringLiteral("Again.qvnl"))));
    save(*document);
    EXPECT_EQ(packageFile(QStringLiteral("notes.txt")), "Bring the red pens.\n");
}

TEST_F(DocumentPackageTest, AKeptFileKeepsItsModeAndTimesLinkedBySaveAndCopiedBySaveAsAndSaveTo)
{
    savedDocument();
    replacePackageFile(QStringLiteral("notes.txt"), "Bring the red pens.\n");
    const QString notes = QStringLiteral("/notes.txt");
    const QByteArray original = QFile::encodeName(packagePath + notes);
    const timespec times[2] = {{1577836800, 250}, {1588291200, 500}}; // 2020
    ASSERT_EQ(::chmod(original.constData(), 0600), 0);
    ASSERT_EQ(::utimensat(AT_FDCWD, original.constData(), times, 0), 0);
    const ino_t inode = statusOf(packagePath + notes).st_ino;
    const auto document = open();
    ASSERT_TRUE(document);

    const auto expectKept = [&](const QString& package) {
        const struct stat status = statusOf(package + notes);
        EXPECT_EQ(status.st_mode & 07777, 0600u) << qPrintable(package);
        EXPECT_EQ(status.st_mtim.tv_sec, times[1].tv_sec);
        EXPECT_EQ(status.st_mtim.tv_nsec, times[1].tv_nsec);
        EXPECT_EQ(status.st_nlink, 1u); // no other package shares it
    };
    save(*document);
    expectKept(packagePath);
    EXPECT_EQ(statusOf(packagePath + notes).st_ino, inode); // linked in, not copied

    QuorvaneError error;
    const QString copy = folder.filePath(QStringLiteral("Copy.qvnl")), elsewhere = folder.filePath(QStringLiteral("Elsewhere.qvnl"));
    ASSERT_TRUE(document->saveToURLOfTypeForSaveOperationError(QUrl::fromLocalFile(copy), kZQMapDocumentType,
                                                               platform::Document::SaveToOperation, &error));
    ASSERT_TRUE(document->saveToURLOfTypeForSaveOperationError(QUrl::fromLocalFile(elsewhere), kZQMapDocumentType,
                                                               platform::Document::SaveAsOperation, &error));
    for (const QString& package : {packagePath, copy, elsewhere})
        expectKept(package);
    const ino_t saved = statusOf(elsewhere + notes).st_ino;
    EXPECT_NE(saved, inode);
    EXPECT_NE(statusOf(copy + notes).st_ino, inode);
    EXPECT_EQ(statusOf(packagePath + notes).st_ino, inode);

    // Saved in place, the package saved as is the one whose file moves on.
    ASSERT_TRUE(document->saveToURLOfTypeForSaveOperationError(QUrl::fromLocalFile(elsewhere), kZQMapDocumentType,
                                                               platform::Document::SaveOperation, &error));
    expectKept(elsewhere);
    EXPECT_EQ(statusOf(elsewhere + notes).st_ino, saved);
}

TEST_F(DocumentPackageTest, CopyingAKeptFileIsHeardAndStopsThere)
{
    savedDocument();
    constexpr qint64 kSize = qint64(128) << 20;
    {
        QFile survey(QDir(packagePath).filePath(QStringLiteral("survey.bin")));
        ASSERT_TRUE(survey.open(QIODevice::WriteOnly));
        const QByteArray megabyte(1 << 20, 'v');
        for (qint64 written = 0; written < kSize; written += megabyte.size())
            ASSERT_EQ(survey.write(megabyte), megabyte.size());
    }
    const auto document = open();
    ASSERT_TRUE(document);
    QuorvaneError error;
    const QUrl copy = QUrl::fromLocalFile(folder.filePath(QStringLiteral("Copy.qvnl")));
    {
        StopPresser never(2.0);
        ASSERT_TRUE(document->saveToURLOfTypeForSaveOperationError(copy, kZQMapDocumentType,
                                                                   platform::Document::SaveToOperation, &error));
        EXPECT_TRUE(std::is_sorted(never.fractions.cbegin(), never.fractions.cend()));
        EXPECT_GE(std::count_if(never.fractions.cbegin(), never.fractions.cend(), [](double f) { return f > 0.9 && f < 1; }), 5);
    }
    EXPECT_EQ(QFileInfo(copy.toLocalFile() + QStringLiteral("/survey.bin")).size(), kSize);

    const QStringList entries = QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    const ino_t written = statusOf(copy.toLocalFile()).st_ino;
    {
        StopPresser presser(0.9);
        EXPECT_FALSE(document->saveToURLOfTypeForSaveOperationError(copy, kZQMapDocumentType,
                                                                    platform::Document::SaveToOperation, &error));
        EXPECT_LT(presser.fractions.last(), 1.0); // stopped while copying
    }
    EXPECT_EQ(error.userInfo().value(platform::kWriteFailureReasonKey).toString(), QStringLiteral("stopped by the user"));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), entries);
    EXPECT_EQ(statusOf(copy.toLocalFile()).st_ino, written);
}

#include "DocumentPackageTest.moc"
