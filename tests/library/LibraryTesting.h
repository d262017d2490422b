#pragma once

// A scratch user and factory library folder per test, an empty catalogue (and no shared library
// manager afterwards), previews read in the calling thread, the "Name Error" alert and the
// problems told to the user replaced by recorders, and library objects to put in items.

#include "app/application/VLTMApplication.h"
#include "library/catalogue/VXQLibraryCatalogue.h"
#include "library/categories/VXQLibraryCategory.h"
#include "library/items/VXQLibraryItem.h"
#include "library/manager/VXQLibraryManagerWindowController.h"
#include "library/store/VXQLibrary.h"
#include "platform/foundation/ProblemReporter.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/styles/VXStyle.h"
#include "symbols/manager/VXQSymbolManager.h"
#include "symbols/masters/VXQSymbolMaster.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

class LibraryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.isValid());
        VXQLibrary::setUserLibrariesFolder(userFolder());
        VXQLibrary::setFactoryLibrariesFolder(m_folder.filePath(QStringLiteral("factory")));
        QDir().mkpath(userFolder());
        VXQLibraryItem::setLoadsImagesUsingThread(false);
        VXQLibraryItem::setNameErrorHandler([this](const QString& name) { nameErrors.append(name); });
        platform::ProblemReporter::setHandler([this](const QString& message, const QString& detail) {
            problems.append(message + u' ' + detail);
        });
        problems.clear();
    }

    void TearDown() override
    {
        // A library manager the test showed (adding a style shows it) goes before the libraries it lists.
        if (VXQLibraryManagerWindowController::sharedLibraryManagerAvailable())
            delete VXQLibraryManagerWindowController::sharedLibraryManager();
        VXQLibraryItem::setLoadsImagesUsingThread(true);
        VXQLibraryItem::setNameErrorHandler({});
        platform::ProblemReporter::setHandler({});
        VXQLibrary::setUserLibrariesFolder({});
    }

    QString userFolder() const { return m_folder.filePath(QStringLiteral("user")); }
    QString folderOf(const QString& name) const { return userFolder() + u'/' + name + QStringLiteral(".symlibrary"); }

    VXQLibraryPtr makeLibrary(const QString& name, const QString& group = QStringLiteral("MY LIBRARY"))
    {
        VXQLibraryPtr library = VXQLibrary::libraryWithPath(folderOf(name));
        VXQLibraryCatalogue::addLibraryToGroupReplaceExisting(library, group, false);
        return library;
    }

    static VXStylePtr makeStyle(const QString& name, QColor fill = Qt::red)
    {
        VXStylePtr style = VXStyle::styleWithFillColourStrokeColour(fill, Qt::black);
        style->setName(name);
        return style;
    }

    static VXQLibraryItemPtr makeStyleItem(const QString& name, QColor fill = Qt::red)
    {
        return VXQLibraryItem::itemWithLibraryObject(makeStyle(name, fill));
    }

    static VXQLibraryItemPtr makeSymbolItem(const QString& name)
    {
        const auto shape = VXDrawableShape::drawableShapeWithRect(QRectF(0, 0, 30, 20), VXStyle::defaultStyle());
        return VXQLibraryItem::itemWithLibraryObject(VXQSymbolMaster::symbolMasterWithObjectName(*shape, name));
    }

    // The problems told so far (they are told in a later event-loop turn).
    QStringList toldProblems()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
        return problems;
    }

    QStringList nameErrors;
    QStringList problems;
    VXQSymbolManager::SharedRegistryScope registry;

private:
    QTemporaryDir m_folder;
    // Declared last: its libraries go before their folder does.
    VXQLibraryCatalogue::Scope m_catalogue;
};
