#pragma once

// A user library "Big" for the library benchmarks: 5,000 (or as many as asked) empty item packages (every third a
// symbol, the others road styles; previews are asked for only by the cells shown) with its
// category file, in a home of its own with quiet logs, opened by the catalogue.

#include "support/BenchSupport.h"

#include "library/LibraryClasses.h"
#include "library/catalogue/VXQLibraryCatalogue.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/ZQLog.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUuid>
#include <QWidget>
#include <cstdio>
#include <functional>
#include <vector>

namespace benchscene {

inline constexpr int kBigLibraryItems = 5000;

// `categories` equal categories share the items (none when 0); `keyOf` may give an item its key.
inline void writeBigLibrary(const QString& folder, int categories, const std::function<QString(int)>& keyOf = {},
                            int itemCount = kBigLibraryItems)
{
    QDir().mkpath(folder);
    QVariantList allItems;
    for (int i = 0; i < itemCount; ++i) {
        const QString name = QStringLiteral("%1 %2").arg(i % 3 == 0 ? QStringLiteral("Symbol") : QStringLiteral("Road Style")).arg(i);
        const QString key = keyOf ? keyOf(i) : QString();
        allItems.append(QVariantMap{{QStringLiteral("name"), name},
                                    {QStringLiteral("id"), key.isEmpty() ? QUuid::createUuid().toString(QUuid::WithoutBraces) : key},
                                    {QStringLiteral("cc"), i % 3 == 0 ? 2 : 1}});
        QDir().mkpath(folder + u'/' + name + QStringLiteral(".libitem"));
    }
    QVariantList categoryList;
    const int perCategory = categories > 0 ? itemCount / categories : 0;
    for (int c = 0; c < categories; ++c)
        categoryList.append(QVariantMap{{QStringLiteral("class"), QStringLiteral("VXQLibraryCategory")},
                                        {QStringLiteral("name"), QStringLiteral("Category %1").arg(c)},
                                        {QStringLiteral("items"), allItems.mid(c * perCategory, perCategory)}});
    const QVariantMap file{{QStringLiteral("allitems"), allItems}, {QStringLiteral("categories"), categoryList},
                           {QStringLiteral("checksum"), quint64(itemCount)}, {QStringLiteral("contX"), true},
                           {QStringLiteral("catX"), true}, {QStringLiteral("version"), 2}};
    platform::PropertyList::writeFile(file, folder + QStringLiteral("/Big.categories"), platform::PropertyList::Format::Binary);
}

// Registers the library classes in a home of their own under `place`, with quiet logs; the
// catalogue is left to open.
inline void prepareLibraryHome(const QTemporaryDir& place)
{
    QStandardPaths::setTestModeEnabled(true);
    platform::UserDefaults::setStorageLocationForTesting(place.filePath(QStringLiteral("defaults")));
    registerLibraryClasses();
    platform::Log::setSink([](LogEventKind, const QString&) {});
    VXQLibrary::setUserLibrariesFolder(place.filePath(QStringLiteral("user")));
    VXQLibrary::setFactoryLibrariesFolder(place.filePath(QStringLiteral("factory")));
}

// Lets a library window lay itself out and paints it, as a frame on screen would.
inline void paintWindow(QWidget* window)
{
    QApplication::processEvents();
    bench::keep(window->grab());
}

// Types `text` into `field` a letter at a time, then erases it the same way, painting `window`
// after each keystroke as a user would see it; the seconds of each keystroke go to `keystrokes`.
inline void typeAndErase(QLineEdit* field, QWidget* window, const QString& text, std::vector<double>& keystrokes)
{
    const auto keystroke = [&](qsizetype length) {
        keystrokes.push_back(bench::secondsOf([&] {
            field->setText(text.left(length));
            paintWindow(window);
        }));
    };
    for (qsizetype length = 1; length <= text.size(); ++length)
        keystroke(length);
    for (qsizetype length = text.size() - 1; length >= 0; --length)
        keystroke(length);
}

// Prepares the home, writes "Big" there and opens the catalogue; null (with a message) when
// the library did not open whole.
inline VXQLibrary* openBigLibrary(const QTemporaryDir& place, int categories,
                                  const std::function<QString(int)>& keyOf = {}, int itemCount = kBigLibraryItems)
{
    prepareLibraryHome(place);
    writeBigLibrary(place.filePath(QStringLiteral("user/Big.symlibrary")), categories, keyOf, itemCount);
    VXQLibraryCatalogue::initialize();
    VXQLibrary* big = VXQLibraryCatalogue::libraryWithName(QStringLiteral("Big"));
    if (!big || big->itemCount() != itemCount) {
        std::fprintf(stderr, "the library did not open with %d items\n", itemCount);
        return nullptr;
    }
    return big;
}

} // namespace benchscene
