// What the shipped help book says against what the application has: every control of the
// terrain panel and of the import options is described on the page their "?" opens, and every
// menu path a page names ("Layer > Index Grid Settings") is a command of the map window's menus.

#include "app/application/VLTMHelpTrampoline.h"
#include "app/import/ZQImportOptionsController.h"
#include "support/MapWindowTesting.h"
#include "terrain/layer/ZQContourLayer.h"
#include "terrain/panel/VXQContourLayerController.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QRegularExpression>
#include <QTextDocumentFragment>
#include <gtest/gtest.h>

namespace {

// The page's text as a reader sees it, without markup.
QString pageText(const QUrl& url)
{
    QFile file(url.toLocalFile());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QTextDocumentFragment::fromHtml(QString::fromUtf8(file.readAll())).toPlainText().simplified();
}

// The names a panel shows its user: labels, buttons and boxes, without ":" and "&".
QStringList controlNames(const QWidget& panel)
{
    QStringList names;
    const auto take = [&](QString text) {
        text = text.remove(u'&').remove(QRegularExpression(QStringLiteral(":$"))).trimmed();
        if (text.size() > 1)
            names.append(text);
    };
    for (const QLabel* label : panel.findChildren<QLabel*>())
        take(label->text());
    for (const QAbstractButton* button : panel.findChildren<QAbstractButton*>())
        take(button->text());
    return names;
}

// A menu title as the user reads it: "&&" shows "&", a single "&" marks the mnemonic.
QString plainTitle(QString title)
{
    return title.replace(QStringLiteral("&&"), QStringLiteral("\x01")).remove(u'&').replace(u'\x01', u'&');
}

QStringList missingFrom(const QString& text, const QStringList& names)
{
    QStringList missing;
    for (const QString& name : names)
        if (!text.contains(name, Qt::CaseInsensitive))
            missing.append(name);
    return missing;
}

} // namespace

TEST(HelpContentTest, TerrainPanelHelpDescribesEveryControlOfThePanel)
{
    QString asked;
    VXQContourLayerController::setHelpHandler([&](const QString& page) { asked = page; });
    VXQContourLayerController* panel = VXQContourLayerController::sharedContourLayerController();
    const auto buttons = panel->window()->findChildren<QAbstractButton*>();
    const auto help = std::find_if(buttons.begin(), buttons.end(), [](auto* b) { return b->text() == QStringLiteral("?"); });
    ASSERT_NE(help, buttons.end());
    (*help)->click();
    VXQContourLayerController::setHelpHandler({});
    ASSERT_FALSE(asked.isEmpty());

    const QString text = pageText(VLTMHelpTrampoline::sharedHelpTrampoline()->urlForIdentifier(asked));
    const QStringList names = controlNames(*panel->window());
    for (const char* expected : {"Raise", "Lower", "Level", "Valley", "Brush size", "Section"})
        EXPECT_TRUE(names.contains(QString::fromLatin1(expected))) << expected;
    EXPECT_EQ(missingFrom(text, names), QStringList());
    // How the pointer works it, not only what the controls are called.
    for (const char* use : {"drag", "Alt", "Double-click", "undo"})
        EXPECT_TRUE(text.contains(QString::fromLatin1(use))) << use;
}

TEST(HelpContentTest, ImportHelpDescribesEveryImportOption)
{
    ZQImportOptionsController options;
    QWidget* view = options.accessoryView();
    ASSERT_TRUE(view);
    const QStringList names = controlNames(*view);
    for (const char* expected : {"Detail", "Method", "Colours", "Simplify outlines"})
        EXPECT_TRUE(names.contains(QString::fromLatin1(expected))) << expected;
    const QString text =
        pageText(VLTMHelpTrampoline::sharedHelpTrampoline()->urlForIdentifier(QStringLiteral("import-shapefile")));
    EXPECT_EQ(missingFrom(text, names), QStringList());
}

namespace {

class HelpMenuPaths : public testsupport::MapWindowTest {
protected:
    // A menu's commands by their titles as help writes them (no "&", no "...").
    static QMap<QString, QAction*> commandsOf(QMenu* menu)
    {
        Q_EMIT menu->aboutToShow(); // menus that list what the map holds fill themselves now
        QMap<QString, QAction*> commands;
        for (QAction* action : menu->actions())
            if (!action->isSeparator())
                commands.insert(plainTitle(action->text()).remove(QStringLiteral("...")).trimmed(), action);
        return commands;
    }

    // Follows "Title > Title > ..." from the start of `text` through the menus; the path
    // named, or an empty string when a step names no command.
    static QString followPath(QMenu* menu, QStringView text)
    {
        const QMap<QString, QAction*> commands = commandsOf(menu);
        QString longest;
        for (auto command = commands.begin(); command != commands.end(); ++command)
            if (text.startsWith(command.key()) && command.key().size() > longest.size())
                longest = command.key();
        if (longest.isEmpty())
            return {};
        const QStringView rest = text.mid(longest.size());
        QMenu* submenu = commands.value(longest)->menu();
        if (submenu && rest.startsWith(QStringLiteral(" > "))) {
            const QString deeper = followPath(submenu, rest.mid(3));
            return deeper.isEmpty() ? QString() : longest + QStringLiteral(" > ") + deeper;
        }
        return longest;
    }
};

} // namespace

TEST_F(HelpMenuPaths, EveryMenuPathTheHelpNamesIsACommandOfTheMenus)
{
    QMap<QString, QMenu*> menus;
    for (QAction* action : window->menuBar()->actions())
        if (action->menu())
            menus.insert(plainTitle(action->text()), action->menu());
    ASSERT_TRUE(menus.contains(QStringLiteral("Layer")));

    const QDir guide(VLTMHelpTrampoline::sharedHelpTrampoline()->indexPageURL().toLocalFile());
    const QStringList pages = guide.entryList({QStringLiteral("*.html")}, QDir::Files);
    ASSERT_GE(pages.size(), 10);
    const QRegularExpression path(QStringLiteral("\\b([A-Z][a-z]+) > "));
    int named = 0;
    for (const QString& page : pages) {
        const QString text = pageText(QUrl::fromLocalFile(guide.filePath(page)));
        for (auto match = path.globalMatch(text); match.hasNext();) {
            const QRegularExpressionMatch step = match.next();
            QMenu* menu = menus.value(step.captured(1));
            const QString followed = menu ? followPath(menu, QStringView(text).mid(step.capturedEnd())) : QString();
            EXPECT_FALSE(followed.isEmpty()) << page.toStdString() << ": "
                                             << text.mid(step.capturedStart(), 60).toStdString();
            ++named;
        }
    }
    EXPECT_GE(named, 10);
}
