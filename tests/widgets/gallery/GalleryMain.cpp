#include "GalleryPages.h"

#include "platform/ui/Application.h"
#include "widgets/WidgetClasses.h"

#include <QCommandLineParser>
#include <QWidget>
#include <cstdio>

const std::map<QString, GalleryPage>& galleryPages()
{
    static const std::map<QString, GalleryPage> pages{
        {QStringLiteral("colour"), makeColourPage},
        {QStringLiteral("controls"), makeControlsPage},
        {QStringLiteral("icon-view"), makeIconViewPage},
        {QStringLiteral("paint-kit"), makePaintKitPage},
        {QStringLiteral("stacks-lists"), makeStacksListsPage},
        {QStringLiteral("view-source"), makeViewSourcePage},
    };
    return pages;
}

int main(int argc, char** argv)
{
    platform::Application application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("widget-gallery"));
    registerWidgetClasses();

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Shows the widget kit's widgets in their states."));
    parser.addHelpOption();
    const QCommandLineOption page(QStringLiteral("page"), QStringLiteral("The page to show."), QStringLiteral("name"));
    parser.addOption(page);
    parser.process(application);

    const auto found = galleryPages().find(parser.value(page));
    if (found == galleryPages().end()) {
        std::fprintf(stderr, "usage: widget-gallery --page <name>; pages:");
        for (const auto& [name, build] : galleryPages())
            std::fprintf(stderr, " %s", qPrintable(name));
        std::fprintf(stderr, "\n");
        return 2;
    }
    QWidget* window = found->second();
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    return application.exec();
}
