// Furniture in map documents: the index grid of a new map, found again as its map grid,
// border layers added as one step, and the grid's labels where a PDF of the map puts them.

#include "furniture/border/VXQBorderLayer.h"
#include "furniture/grid/VXQSquareAnnotatedGrid.h"

#include "app/document/ZQTrueQuorvaneDocument.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/ui/MenuItem.h"
#include "platform/vantrix/model/VXLayerGroup.h"

#include <QApplication>
#include <QDialog>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

std::shared_ptr<ZQTrueQuorvaneDocument> newMap()
{
    auto document = std::make_shared<ZQTrueQuorvaneDocument>();
    QuorvaneError error;
    EXPECT_TRUE(document->initWithTypeError(kZQMapDocumentType, &error));
    return document;
}

struct Word {
    QString text;
    QRectF box;
};

// The words of a PDF's first page with their boxes, as pdftotext reads them.
QList<Word> wordsOfPDF(const QByteArray& pdf)
{
    QTemporaryDir folder;
    const QString input = folder.filePath("map.pdf"), output = folder.filePath("words.html");
    QFile file(input);
    if (!file.open(QIODevice::WriteOnly) || file.write(pdf) != pdf.size())
        return {};
    file.close();
    QProcess::execute(QStringLiteral("pdftotext"), {"-bbox", input, output});
    QFile html(output);
    if (!html.open(QIODevice::ReadOnly))
        return {};
    static const QRegularExpression word(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
    QList<Word> words;
    for (const QRegularExpressionMatch& m : word.globalMatch(QString::fromUtf8(html.readAll())))
        words.append({m.captured(5), QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                                            QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()))});
    return words;
}

} // namespace

TEST(GridDocument, NewMapsHaveTheIndexGridWhichTheDocumentFindsAndRemembers)
{
    const auto document = newMap();
    const std::shared_ptr<VXGridLayer> grid = document->mapGrid();
    auto indexGrid = std::dynamic_pointer_cast<VXQSquareAnnotatedGrid>(grid);
    ASSERT_TRUE(indexGrid);
    EXPECT_EQ(indexGrid->layerName(), QStringLiteral("Index Grid"));
    EXPECT_TRUE(indexGrid->shouldDrawToPrinter());
    EXPECT_NEAR(indexGrid->spanDistance(), 4 * 28.346456692913, 1e-9); // four units of a centimetre
    EXPECT_EQ(indexGrid->divisions(), 10);
    EXPECT_EQ(indexGrid->majors(), 5);
    EXPECT_NEAR(indexGrid->spanLength(), 4 * 28.346456692913, 1e-9);
    EXPECT_EQ(document->mapGrid(), grid); // remembered

    // Moved into a group it is found again; gone from the drawing it is forgotten.
    auto group = std::make_shared<VXLayerGroup>();
    document->drawing()->addLayer(group);
    group->addLayer(grid);
    EXPECT_EQ(document->mapGrid(), grid);
    group->removeLayer(grid.get());
    EXPECT_FALSE(document->mapGrid());
}

TEST(GridDocument, BorderLayersAreAddedAsOneNamedStepAboveTheActiveLayer)
{
    const auto document = newMap();
    platform::MenuItem item(QString(), "addBorderLayerAction");
    EXPECT_TRUE(document->validateMenuItem(&item));
    ZQUndoManager* undo = document->undoManager();
    undo->removeAllActions();
    const int layers = document->drawing()->countOfLayers();
    document->addBorderLayerAction();
    undo->closeAutomaticGroup();
    auto border = std::dynamic_pointer_cast<VXQBorderLayer>(document->drawing()->firstLayerOfClass<VXQBorderLayer>());
    ASSERT_TRUE(border);
    EXPECT_EQ(border->layerName(), QStringLiteral("Border Layer"));
    EXPECT_TRUE(border->isActive());
    EXPECT_EQ(undo->undoActionName(), QStringLiteral("New Border Layer"));
    document->addBorderLayerAction();
    undo->closeAutomaticGroup();
    EXPECT_EQ(document->drawing()->activeLayer()->layerName(), QStringLiteral("Border Layer 2"));
    undo->undo();
    undo->undo();
    EXPECT_EQ(document->drawing()->countOfLayers(), layers);
}

TEST(GridDocument, APdfOfANewMapHoldsEveryEdgeLabelWhereTheAnnotationPlacedIt)
{
    const auto document = newMap();
    auto grid = std::dynamic_pointer_cast<VXQSquareAnnotatedGrid>(document->mapGrid());
    ASSERT_TRUE(grid);
    const QList<Word> words = wordsOfPDF(document->drawing()->pdf());
    ASSERT_FALSE(words.isEmpty()) << "pdftotext read no words";
    int checked = 0;
    for (const VXQGridAnnotationPtr& annotation : {grid->horizontalAnnotation(), grid->verticalAnnotation()}) {
        const std::optional<int> maximum = annotation->maximumElement();
        ASSERT_TRUE(maximum);
        for (int side : {1, 2}) {
            for (int element = 0; element <= *maximum; ++element) {
                const std::optional<QRectF> placed =
                    annotation->labelRectForElementMaxElementAtEdge(element, *maximum, side);
                if (!placed)
                    continue;
                const QString text = annotation->annotationStringForElementMaxElement(element, *maximum);
                double nearest = HUGE_VAL;
                for (const Word& word : words)
                    if (word.text == text)
                        nearest = std::min(nearest, QLineF(word.box.center(), placed->center()).length());
                EXPECT_LE(nearest, 1.0) << qPrintable(text) << " on side " << side;
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 20);
}

TEST(GridDocument, IndexGridSettingsOpenOnTheMapGridAndAreDisabledWithoutOne)
{
    const auto document = newMap();
    platform::MenuItem item(QString(), "editIndexGridSettingsAction");
    ASSERT_TRUE(document->validateMenuItem(&item));
    document->undoManager()->removeAllActions();

    document->editIndexGridSettingsAction();
    QDialog* sheet = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<QDialog*>(widget); dialog && dialog->isVisible())
            sheet = dialog;
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->windowTitle(), QStringLiteral("Index Grid Settings"));
    for (QPushButton* button : sheet->findChildren<QPushButton*>())
        if (button->text() == QStringLiteral("Cancel"))
            button->click();
    EXPECT_FALSE(sheet->isVisible());
    document->undoManager()->closeAutomaticGroup();
    EXPECT_FALSE(document->undoManager()->canUndo());

    document->drawing()->removeLayer(document->mapGrid().get());
    EXPECT_FALSE(document->validateMenuItem(&item));
    document->editIndexGridSettingsAction(); // nothing to edit: no sheet
}
