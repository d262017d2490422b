#include "UiTestSupport.h"

#include "platform/ui/ColourPanel.h"
#include "platform/ui/ColourWell.h"

#include <QColorDialog>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

using platform::ColourPanel;
using platform::ColourWell;

namespace {

struct PanelScope {
    ~PanelScope()
    {
        ColourPanel::enablePanel();
        ColourWell::setActivationClickHandler({});
        ColourWell::deactivateAll();
        ColourPanel::sharedColorPanel()->orderOut(nullptr);
        ColourPanel::sharedColorPanel()->takeBackContentView();
        ColourPanel::sharedColorPanel()->setSelectedPickerMode(ColourPanel::kDialogModeIdentifier);
    }
};

} // namespace

TEST(ColourPanelModes, PagesAreAddedOnceAndSelectedByIdentifier)
{
    PanelScope scope;
    ColourPanel* panel = ColourPanel::sharedColorPanel();
    const qsizetype before = panel->pickerModes().size();
    EXPECT_EQ(panel->pickerModes().first().identifier, QByteArray(ColourPanel::kDialogModeIdentifier));
    if (!panel->hasPickerMode("test-page"))
        panel->addPickerMode({"test-page", QImage(), "Test"}, new QLabel("page"));
    const qsizetype after = panel->pickerModes().size();
    EXPECT_LE(after, before + 1);
    panel->addPickerMode({"test-page", QImage(), "Again"}, new QLabel("ignored")); // a known identifier
    EXPECT_EQ(panel->pickerModes().size(), after);

    QList<QByteArray> changes;
    QObject::connect(panel, &ColourPanel::selectedPickerModeChanged, panel,
                     [&](const QByteArray& id) { changes << id; });
    panel->setSelectedPickerMode("no-such-mode");
    panel->setSelectedPickerMode("test-page");
    panel->setSelectedPickerMode("test-page");
    EXPECT_EQ(panel->selectedPickerMode(), QByteArray("test-page"));
    EXPECT_EQ(changes, QList<QByteArray>{"test-page"});
    QObject::disconnect(panel, &ColourPanel::selectedPickerModeChanged, panel, nullptr);
}

TEST(ColourPanelModes, LentContentComesBackWhenOrderedFrontUnlessDisabled)
{
    PanelScope scope;
    ColourPanel* panel = ColourPanel::sharedColorPanel();
    QWidget host;
    QWidget* content = panel->lendContentView();
    content->setParent(&host);
    EXPECT_TRUE(panel->isContentLent());
    EXPECT_EQ(panel->lendContentView(), content); // lending twice hands the same content

    ColourPanel::disablePanel();
    panel->orderFront(nullptr);
    EXPECT_FALSE(panel->isVisible());
    EXPECT_EQ(content->parentWidget(), &host);

    ColourPanel::enablePanel();
    panel->orderFront(nullptr);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_FALSE(panel->isContentLent());
    EXPECT_EQ(content->window(), panel->window());

    // Invalid colours are never shown nor sent.
    panel->setColor(Qt::red);
    panel->setColor(QColor());
    panel->userDidPickColor(QColor());
    EXPECT_EQ(panel->color(), QColor(Qt::red));
}

TEST(ColourPanelModes, ActivationClicksGoThroughTheInstalledHandler)
{
    PanelScope scope;
    ColourWell well;
    QList<bool> clicks;
    ColourWell::setActivationClickHandler([&](ColourWell& clicked, bool shift) {
        EXPECT_EQ(&clicked, &well);
        clicks << shift;
    });
    QTest::mouseClick(&well, Qt::LeftButton, Qt::ShiftModifier);
    QTest::keyClick(&well, Qt::Key_Space);
    EXPECT_EQ(clicks, (QList<bool>{true, false}));
    EXPECT_FALSE(well.isActive());

    ColourWell::setActivationClickHandler({});
    QTest::keyClick(&well, Qt::Key_Space);
    EXPECT_TRUE(well.isActive());
    well.setEnabled(false);
    QTest::keyClick(&well, Qt::Key_Space);
    EXPECT_TRUE(well.isActive());
}
