// The companions of a .shp on disk: found whatever the case of their extensions, and a
// table that cannot be found or read is told with the shapes.

#include "support/ShapefileBuilders.h"

#include "geodata/ZQESRIFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <cerrno>

using namespace shapefiletest;

namespace {

class PlainFactory : public ZQShapefileObjectMaker {
public:
    std::shared_ptr<ZQObject> objectForShapeWithPathAttributes(qint32, const QPainterPath&,
                                                               const geodata::AttributeDictionary*) override
    {
        return std::make_shared<ZQObject>();
    }
};

class ShapefileCompanions : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_folder.isValid()); }

    QString write(const QString& name, const QByteArray& bytes) const
    {
        const QString path = m_folder.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        return path;
    }
    static QByteArray twoPoints()
    {
        ShpBuilder shp;
        shp.addPoints(1, {{1, 2}});
        shp.addPoints(1, {{3, 4}});
        return shp.bytes();
    }
    // A table of two rows whose NAME says which file it is.
    static QByteArray table(const QByteArray& name)
    {
        DbfBuilder dbf({{"NAME", 'C', 12}});
        dbf.addRow({name});
        dbf.addRow({name});
        return dbf.bytes();
    }
    static std::shared_ptr<ZQESRIFile> open(const QString& shpPath)
    {
        auto file = std::make_shared<ZQESRIFile>();
        file->initWithFile(shpPath);
        return file;
    }
    static QString nameOfRow(const ZQESRIFile& file)
    {
        const auto attributes = file.metadataForRecord(0);
        return attributes ? attributes->value(QStringLiteral("name")).value().toString() : QString();
    }
    QString path(const QString& name) const { return m_folder.filePath(name); }

private:
    QTemporaryDir m_folder;
};

} // namespace

TEST_F(ShapefileCompanions, ExtensionsInAnyCaseAreFoundTheShpsOwnCaseFirst)
{
    // Capitals throughout, and a lower-case base with capital extensions.
    for (const QString& base : {QStringLiteral("ROADS"), QStringLiteral("rivers")}) {
        SCOPED_TRACE(base.toStdString());
        const QString shp = write(base + ".SHP", twoPoints());
        write(base + ".DBF", table("capital"));
        write(base + ".CPG", "UTF-8");
        write(base + ".PRJ", "GEOGCS[\"GCS_WGS_1984\"]");
        const auto file = open(shp);
        EXPECT_EQ(nameOfRow(*file), QStringLiteral("capital"));
        EXPECT_EQ(file->dBaseFilePath(), path(base + ".DBF"));
        EXPECT_EQ(file->dBaseStringEncoding(), QStringLiteral("UTF-8"));
        EXPECT_TRUE(file->projectionData());
        EXPECT_EQ(file->countOfErrors(), 0u) << file->errorString().toStdString();
        EXPECT_TRUE(file->leftOut().description().isEmpty());
    }

    // The .shp's own case before lower case, and lower case before any other.
    const QString shp = write("Mixed.SHP", twoPoints());
    write("Mixed.dbf", table("lower"));
    write("Mixed.Dbf", table("other"));
    EXPECT_EQ(nameOfRow(*open(shp)), QStringLiteral("lower"));
    write("Mixed.DBF", table("own case"));
    EXPECT_EQ(nameOfRow(*open(shp)), QStringLiteral("own case"));

    // Only the folder knows this spelling; the base name itself must match exactly.
    const QString odd = write("Odd.shp", twoPoints());
    write("odd.dbf", table("other base"));
    EXPECT_FALSE(open(odd)->databaseFieldInfo());
    write("Odd.dBf", table("odd case"));
    EXPECT_EQ(nameOfRow(*open(odd)), QStringLiteral("odd case"));
    EXPECT_EQ(open(odd)->dBaseFilePath(), path("Odd.dBf"));
}

TEST_F(ShapefileCompanions, AnIndexInCapitalsStillFindsTheRecordsAfterADamagedOne)
{
    ShpBuilder shp;
    shp.addContent(QByteArray(20, '\0'), 0xFFFFFFF0);
    shp.addPoints(1, {{5, 6}});
    const QString path = write("WELLS.SHP", shp.bytes());
    write("WELLS.SHX", shp.indexBytes());
    write("WELLS.DBF", table("well"));
    auto file = open(path);
    file->setObjectFactory(std::make_shared<PlainFactory>());
    const auto objects = file->parse();
    ASSERT_TRUE(objects);
    EXPECT_EQ(objects->size(), 1);
    EXPECT_TRUE(file->damagedRecordsDescription().startsWith(QStringLiteral("A damaged record was skipped.")))
        << "the walk went on after it: " << file->damagedRecordsDescription().toStdString();
    EXPECT_FALSE(file->damagedRecordsDescription().contains(QStringLiteral("were not read")));
}

TEST_F(ShapefileCompanions, ATableThatIsMissingOrALinkLoopIsToldWithTheShapes)
{
    const QString alone = write("Alone.shp", twoPoints());
    const auto missing = open(alone);
    EXPECT_EQ(missing->dBaseFilePath(), path("Alone.dbf"));
    EXPECT_EQ(missing->leftOut().attributesProblem,
              QStringLiteral("No database (.dbf) file was found; attributes were not read."));
    missing->setReadMetadata(false);
    EXPECT_TRUE(missing->leftOut().attributesProblem.isEmpty()) << "none were asked for";

    const QString looped = write("Looped.shp", twoPoints());
    ASSERT_TRUE(QFile::link(path("Round.dbf"), path("Looped.dbf")));
    ASSERT_TRUE(QFile::link(path("Looped.dbf"), path("Round.dbf")));
    const auto loop = open(looped);
    EXPECT_EQ(loop->leftOut().attributesProblem,
              QStringLiteral("The database (.dbf) file could not be read (it is a symbolic link to “%1”, which cannot "
                             "be opened: %2); attributes were not read.")
                  .arg(path("Round.dbf"), qt_error_string(ELOOP)));
    EXPECT_EQ(loop->countOfErrors(), 1u);
}
