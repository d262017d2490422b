// Writes the factory libraries the application carries in its resources, and the resource list
// that compiles them in: "Tracks" (the track tools' styles), "Text Styles" (the predefined text
// styles this machine's fonts can make), and the town map's point symbols and area and line
// styles described by CONTENT_DIR/town-map.json (symbols drawn as SVG files beside it).
// Run by the build: make_factory_libraries OUT_DIR CONTENT_DIR.

#include "library/LibraryClasses.h"
#include "library/categories/VXQLibraryCategory.h"
#include "library/store/VXQLibrary.h"
#include "platform/graphics/BezierPath.h"
#include "platform/vantrix/styles/VXFill.h"
#include "platform/vantrix/styles/VXStroke.h"
#include "platform/vantrix/styles/VXStrokeDash.h"
#include "platform/vantrix/svg/VXSVGImporter.h"
#include "symbols/masters/VXQSymbolMaster.h"
#include "tracks/styles/FactoryTrackStyles.h"

#include <QDirIterator>
#include <QFile>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstdio>
#include <stdexcept>

namespace {

// One item of a factory library and the categories that file it.
struct FactoryItem {
    VXQLibraryItemPtr item;
    QStringList categories;
};

FactoryItem factoryItem(const ZQObjectPtr& object, const QStringList& categories)
{
    return {VXQLibraryItem::itemWithLibraryObject(object), categories};
}

[[noreturn]] void fail(const QString& why)
{
    throw std::runtime_error(why.toStdString());
}

// A library with nothing to hold is left out.
void writeLibrary(const QString& folder, const QString& name, const QList<FactoryItem>& entries)
{
    if (entries.isEmpty())
        return;
    VXQLibraryPtr library = VXQLibrary::libraryWithPath(folder + u'/' + name + QStringLiteral(".symlibrary"));
    if (!library->hasPresenceOnDisk())
        fail(QStringLiteral("the library “%1” could not be made").arg(name));
    library->setCreator(QStringLiteral("Veltrum"));
    for (const FactoryItem& entry : entries) {
        library->addItem(entry.item);
        for (const QString& category : entry.categories) {
            VXQLibraryCategory* grouping = library->categoryWithName(category);
            if (!grouping)
                grouping = library->addCategoryWithName(category);
            if (grouping)
                grouping->addItem(entry.item);
        }
    }
    library->setNeedsUpdateOnDisk();
    if (!library->updateOnDisk() || library->itemCount() != entries.size())
        fail(QStringLiteral("the library “%1” could not be written").arg(name));
}

QList<FactoryItem> lockedStyles(const QList<VXStylePtr>& styles, const QString& category)
{
    QList<FactoryItem> entries;
    for (const VXStylePtr& style : styles) {
        style->setLocked(true);
        entries.append(factoryItem(style, {category}));
    }
    return entries;
}

QList<FactoryItem> textStyleItems()
{
    QList<FactoryItem> entries;
    for (const VXQLibraryItemPtr& item : VXQLibraryItem::predefinedFontStyleItems())
        entries.append({item, {QStringLiteral("Text")}});
    return entries;
}

QColor colourOf(const QJsonValue& value)
{
    const QColor colour = QColor::fromString(value.toString());
    if (!colour.isValid())
        fail(QStringLiteral("“%1” is not a colour").arg(value.toString()));
    return colour;
}

QStringList categoriesOf(const QJsonObject& entry)
{
    QStringList categories;
    for (const QJsonValue& category : entry.value(QStringLiteral("categories")).toArray())
        categories.append(category.toString());
    if (categories.isEmpty() || categories.contains(QString()))
        fail(QStringLiteral("“%1” has no categories").arg(entry.value(QStringLiteral("name")).toString()));
    return categories;
}

// The symbol's graphic is the SVG's one top-level group.
VXQSymbolMasterPtr symbolFromSVG(const QString& path, const QString& name)
{
    QuorvaneError error;
    const std::optional<VXSVGImporter::Result> svg = VXSVGImporter::importFile(path, &error);
    if (!svg)
        fail(QStringLiteral("%1: %2").arg(path, error.localizedDescription()));
    if (svg->objects.size() != 1 || !svg->skipped.isEmpty())
        fail(QStringLiteral("%1: expected one group and nothing left out").arg(path));
    VXQSymbolMasterPtr master = VXQSymbolMaster::symbolMasterWithObjectName(*svg->objects.first(), name);
    master->setLocked(true);
    return master;
}

// Strokes listed bottom first; areas have a fill under them.
VXStylePtr styleFromDescription(const QJsonObject& entry)
{
    auto style = std::make_shared<VXStyle>();
    style->setName(entry.value(QStringLiteral("name")).toString());
    if (entry.contains(QStringLiteral("fill")))
        style->addRenderer(VXFill::fillWithColour(colourOf(entry.value(QStringLiteral("fill")))));
    for (const QJsonValue& value : entry.value(QStringLiteral("strokes")).toArray()) {
        const QJsonObject description = value.toObject();
        VXStrokePtr stroke = VXStroke::strokeWithWidthColour(description.value(QStringLiteral("width")).toDouble(),
                                                             colourOf(description.value(QStringLiteral("colour"))));
        stroke->setLineJoinStyle(int(platform::LineJoinStyle::Round));
        if (const QJsonArray dash = description.value(QStringLiteral("dash")).toArray(); !dash.isEmpty()) {
            QList<double> pattern;
            for (const QJsonValue& length : dash)
                pattern.append(length.toDouble());
            VXStrokeDashPtr strokeDash = VXStrokeDash::dashWithPatternPhase(pattern);
            strokeDash->setScalesToLineWidth(false);
            stroke->setDash(strokeDash);
        } else {
            stroke->setLineCapStyle(int(platform::LineCapStyle::Round));
        }
        style->addRenderer(stroke);
    }
    style->setLocked(true);
    return style;
}

QJsonObject readContent(const QString& contentFolder)
{
    QFile file(contentFolder + QStringLiteral("/town-map.json"));
    if (!file.open(QIODevice::ReadOnly))
        fail(QStringLiteral("%1: %2").arg(file.fileName(), file.errorString()));
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (!document.isObject())
        fail(QStringLiteral("%1: %2").arg(file.fileName(), error.errorString()));
    return document.object();
}

void writeTownMapLibraries(const QString& folder, const QString& contentFolder)
{
    const QJsonObject content = readContent(contentFolder);
    const QJsonObject symbols = content.value(QStringLiteral("symbols")).toObject();
    QList<FactoryItem> symbolItems;
    for (const QJsonValue& value : symbols.value(QStringLiteral("items")).toArray()) {
        const QJsonObject entry = value.toObject();
        const QString svg = contentFolder + QStringLiteral("/symbols/") + entry.value(QStringLiteral("file")).toString();
        symbolItems.append(factoryItem(symbolFromSVG(svg, entry.value(QStringLiteral("name")).toString()), categoriesOf(entry)));
    }
    writeLibrary(folder, symbols.value(QStringLiteral("library")).toString(), symbolItems);

    const QJsonObject styles = content.value(QStringLiteral("styles")).toObject();
    QList<FactoryItem> styleItems;
    for (const QJsonValue& value : styles.value(QStringLiteral("items")).toArray())
        styleItems.append(factoryItem(styleFromDescription(value.toObject()), categoriesOf(value.toObject())));
    writeLibrary(folder, styles.value(QStringLiteral("library")).toString(), styleItems);
}

void writeResourceList(const QString& folder)
{
    QSaveFile list(folder + QStringLiteral("/factory_libraries.qrc"));
    if (!list.open(QIODevice::WriteOnly))
        fail(QStringLiteral("%1: %2").arg(list.fileName(), list.errorString()));
    QTextStream out(&list);
    out << "<RCC>\n  <qresource prefix=\"/bundle\">\n";
    QDirIterator files(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    QStringList paths;
    while (files.hasNext()) {
        const QString path = QDir(folder).relativeFilePath(files.next());
        if (path.contains(QStringLiteral(".symlibrary/")))
            paths.append(path);
    }
    paths.sort();
    for (const QString& path : std::as_const(paths))
        out << "    <file>" << path.toHtmlEscaped() << "</file>\n";
    out << "  </qresource>\n</RCC>\n";
    out.flush();
    if (!list.commit())
        fail(QStringLiteral("%1: %2").arg(list.fileName(), list.errorString()));
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_factory_libraries OUT_DIR CONTENT_DIR\n");
        return 2;
    }
    registerLibraryClasses();
    const QString folder = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    const QString contentFolder = QDir(QString::fromLocal8Bit(argv[2])).absolutePath();
    // Written as user libraries; no user folder of the machine that builds is touched.
    QTemporaryDir scratch;
    VXQLibrary::setUserLibrariesFolder(scratch.path());
    VXQLibrary::setFactoryLibrariesFolder(scratch.path() + QStringLiteral("/none"));
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    try {
        writeLibrary(folder, QStringLiteral("Tracks"),
                     lockedStyles({factoryRoadStyle(), factoryRailStyle(), factoryRiverStyle()}, QStringLiteral("Tracks")));
        writeLibrary(folder, QStringLiteral("Text Styles"), textStyleItems());
        writeTownMapLibraries(folder, contentFolder);
        writeResourceList(folder);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "make_factory_libraries: %s\n", error.what());
        return 1;
    }
    return 0;
}
