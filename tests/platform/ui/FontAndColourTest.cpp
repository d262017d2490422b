#include "UiTestSupport.h"

#include "platform/ui/Application.h"
#include "platform/ui/ColourPanel.h"
#include "platform/ui/ColourWell.h"
#include "platform/ui/FontManager.h"
#include "platform/ui/Menu.h"
#include "platform/ui/Pasteboard.h"

#include <QColorDialog>
#include <QFontDialog>
#include <QFontInfo>
#include <QMimeData>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using platform::ColourPanel;
using platform::ColourWell;
using platform::FontManager;

namespace {

// A text view that answers changeFont by converting its font through the manager.
class TextView : public QWidget {
    Q_OBJECT

public:
    TextView() { setFocusPolicy(Qt::StrongFocus); }

    QList<QFont> fonts;
    int changes = 0;
    QList<QColor> colours;

    Q_INVOKABLE void changeFont(QObject* sender)
    {
        auto* manager = qobject_cast<FontManager*>(sender);
        for (QFont& font : fonts)
            font = manager->convertFont(font);
        ++changes;
    }
    // From the panel or from a well: both answer "colour".
    Q_INVOKABLE void changeColor(QObject* sender) { colours << sender->property("color").value<QColor>(); }
};

class FontAndColourTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto* layout = new QVBoxLayout(&window);
        first = new TextView;
        second = new TextView;
        layout->addWidget(first);
        layout->addWidget(second);
        uitest::activate(&window);
        first->setFocus();
        platform::RunLoop::runUntilIdle();
        manager = FontManager::sharedFontManager();
        manager->setTarget(nullptr);
    }

    void TearDown() override { ColourWell::deactivateAll(); }

    static QFont font(const QString& family, double size, bool bold = false)
    {
        QFont f(family);
        f.setPointSizeF(size);
        f.setBold(bold);
        return f;
    }

    QWidget window;
    TextView* first = nullptr;
    TextView* second = nullptr;
    FontManager* manager = nullptr;
};

} // namespace

TEST_F(FontAndColourTest, FontChangesReachTheCurrentTarget)
{
    first->fonts = {font("DejaVu Sans", 12), font("DejaVu Serif", 20, true)};
    platform::MenuItem bigger("Bigger", "modifyFont");
    bigger.setTag(FontManager::SizeUpFontAction);
    bigger.setTarget(manager);
    bigger.trigger();
    EXPECT_EQ(std::pair(first->changes, second->changes), std::pair(1, 0));
    EXPECT_EQ(std::pair(first->fonts[0].pointSizeF(), first->fonts[1].pointSizeF()), std::pair(13.0, 21.0));

    // Focus moves: so does the target.
    second->setFocus();
    platform::RunLoop::runUntilIdle();
    second->fonts = {font("DejaVu Sans", 9)};
    bigger.setTag(FontManager::SizeDownFontAction);
    bigger.trigger();
    EXPECT_EQ(second->fonts[0].pointSizeF(), 8);
    EXPECT_EQ(first->changes, 1);

    // An explicit target takes the change wherever the focus is.
    manager->setTarget(first);
    manager->modifyFont(&bigger);
    EXPECT_EQ(first->changes, 2);
    EXPECT_EQ(first->fonts[0].pointSizeF(), 12);

    // Outside a change, conversion changes nothing.
    EXPECT_EQ(manager->convertFont(first->fonts[1]), first->fonts[1]);
}

TEST_F(FontAndColourTest, TraitsToggleOnTheSelectionAndPanelChangesOnlyWhatChanged)
{
    first->fonts = {font("DejaVu Sans", 12), font("DejaVu Serif", 20)};
    platform::MenuItem bold("Bold", "addFontTrait");
    bold.setTag(FontManager::BoldFontMask);
    manager->setSelectedFontIsMultiple(first->fonts[0], false);
    manager->addFontTrait(&bold);
    EXPECT_TRUE(first->fonts[0].bold());
    EXPECT_TRUE(first->fonts[1].bold());
    manager->setSelectedFontIsMultiple(first->fonts[0], false);
    manager->addFontTrait(&bold); // bold again on a bold selection: bold goes
    EXPECT_FALSE(first->fonts[0].bold());
    EXPECT_EQ(manager->traitsOfFont(first->fonts[1]) & FontManager::BoldFontMask, 0u);

    // The panel shows the selection; choosing a size there keeps each font's family.
    manager->setSelectedFontIsMultiple(first->fonts[0], true);
    QFontDialog* panel = manager->fontPanel(true);
    EXPECT_EQ(panel->currentFont().family(), first->fonts[0].family());
    EXPECT_EQ(first->changes, 2); // showing the selection sent nothing
    QFont bigger = panel->currentFont();
    bigger.setPointSizeF(30);
    panel->setCurrentFont(bigger);
    EXPECT_EQ(first->changes, 3);
    EXPECT_EQ(std::pair(first->fonts[0].family(), first->fonts[1].family()), std::pair(QString("DejaVu Sans"), QString("DejaVu Serif")));
    EXPECT_EQ(std::pair(first->fonts[0].pointSizeF(), first->fonts[1].pointSizeF()), std::pair(30.0, 30.0));
    EXPECT_EQ(manager->convertFontToFace(first->fonts[0], "DejaVuSans-Bold").bold(), true);
    EXPECT_EQ(manager->convertFontToFace(first->fonts[0], "NoSuchFace-Bold"), first->fonts[0]);
}

TEST_F(FontAndColourTest, ThePanelShowsTheFaceTheSelectionDrawsWithAndKeepsItThroughASizeChange)
{
    // Made from family, weight and slope, as a text box's font is: no style name of its own.
    const auto made = [](QFont::Weight weight, bool italic) {
        QFont f = font("DejaVu Sans", 18);
        f.setWeight(weight);
        f.setItalic(italic);
        return f;
    };
    QFontDialog* panel = manager->fontPanel(true);
    const struct {
        QFont font;
        QString face;
    } cases[] = {{made(QFont::Normal, false), "Book"},
                 {made(QFont::Normal, true), "Oblique"},
                 {made(QFont::Bold, false), "Bold"},
                 {made(QFont::Bold, true), "Bold Oblique"}};
    for (const auto& [selected, face] : cases) {
        manager->setSelectedFontIsMultiple(selected, false);
        const QFont shown = panel->currentFont();
        EXPECT_EQ(shown.styleName(), face);
        EXPECT_EQ(std::tuple(shown.family(), shown.italic(), shown.weight(), shown.pointSizeF()),
                  std::tuple(selected.family(), selected.italic(), selected.weight(), 18.0))
            << face.toStdString();
    }

    // A size chosen in the panel changes the size alone: the box stays upright Book.
    first->fonts = {made(QFont::Normal, false)};
    manager->setSelectedFontIsMultiple(first->fonts[0], false);
    QFont bigger = panel->currentFont();
    bigger.setPointSizeF(24);
    panel->setCurrentFont(bigger);
    ASSERT_EQ(first->changes, 1);
    EXPECT_EQ(std::tuple(first->fonts[0].italic(), first->fonts[0].weight(), first->fonts[0].pointSizeF()),
              std::tuple(false, QFont::Normal, 24.0));
    EXPECT_FALSE(QFontInfo(first->fonts[0]).italic());
}

TEST_F(FontAndColourTest, ColourWellsAreExclusiveUnlessShiftIsHeld)
{
    ColourWell a, b, c;
    a.setColor(Qt::red);
    b.setColor(Qt::green);
    const auto active = [&] { return QList<bool>{a.isActive(), b.isActive(), c.isActive()}; };
    ColourPanel* panel = ColourPanel::sharedColorPanel();
    QTest::mouseClick(&a, Qt::LeftButton);
    EXPECT_EQ(active(), (QList<bool>{true, false, false}));
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->color(), QColor(Qt::red));
    QTest::mouseClick(&b, Qt::LeftButton);
    EXPECT_EQ(active(), (QList<bool>{false, true, false}));
    EXPECT_EQ(panel->activeWells(), QList<ColourWell*>{&b});
    EXPECT_EQ(panel->color(), QColor(Qt::green));

    QTest::mouseClick(&c, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(active(), (QList<bool>{false, true, true}));
    panel->userDidPickColor(QColor("#AAD0E5"));
    EXPECT_EQ((QList<QColor>{a.color(), b.color(), c.color()}), (QList<QColor>{Qt::red, QColor("#AAD0E5"), QColor("#AAD0E5")}));
    QTest::mouseClick(&c, Qt::LeftButton); // an active well clicked deactivates
    EXPECT_EQ(active(), (QList<bool>{false, true, false}));

    panel->orderOut(nullptr);
    ColourWell::deactivateAll();
    EXPECT_EQ(active(), (QList<bool>{false, false, false}));
    EXPECT_TRUE(panel->activeWells().isEmpty());
    EXPECT_FALSE(panel->isVisible()); // not brought up by deactivating
    EXPECT_EQ(panel->target(), nullptr);
}

TEST_F(FontAndColourTest, WellActionsAndPanelActionsReachTheirReceivers)
{
    ColourWell continuous(&window);
    ColourWell once(&window);
    once.setContinuous(false);
    continuous.setAction("changeColor");
    once.setAction("changeColor");
    TextView receiver;
    continuous.setTarget(&receiver);
    once.setTarget(&receiver);
    ColourPanel* panel = ColourPanel::sharedColorPanel();

    continuous.activate(true);
    panel->userDidPickColor(Qt::blue);
    panel->userDidPickColor(Qt::yellow);
    EXPECT_EQ(receiver.colours, (QList<QColor>{Qt::blue, Qt::yellow}));

    once.activate(true); // deactivates the continuous well
    panel->userDidPickColor(Qt::cyan);
    panel->userDidPickColor(Qt::magenta);
    EXPECT_EQ(receiver.colours.size(), 2);
    once.deactivate(); // sends once, with the last colour
    EXPECT_EQ(receiver.colours.size(), 3);
    EXPECT_EQ(receiver.colours.last(), QColor(Qt::magenta));

    // With no well active, the panel's colour goes along the responder chain.
    ColourWell::deactivateAll();
    panel->setAction("changeColor");
    panel->userDidPickColor(Qt::darkGreen);
    EXPECT_EQ(first->colours, QList<QColor>{Qt::darkGreen});

    // A dropped colour sets the well and sends its action.
    QMimeData data;
    platform::Pasteboard(&data).setColor(Qt::darkRed);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
    static_cast<QObject&>(continuous).event(&drop); // as delivered by a drag in progress
    EXPECT_EQ(continuous.color(), QColor(Qt::darkRed));
    EXPECT_EQ(receiver.colours.last(), QColor(Qt::darkRed));
}

#include "FontAndColourTest.moc"
