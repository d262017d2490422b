#include "GalleryPages.h"

#include "widgets/sheets/ZQViewSourceController.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// Steps through files: an icon of the installed theme first, then whatever the user picks next.
class SourceFiles : public QObject, public ZQViewSourceControllerDelegate {
public:
    SourceFiles(const QStringList& files, QObject* parent) : QObject(parent), m_files(files) {}

    QUrl urlForViewSourceController(ZQViewSourceController*) override
    {
        return QUrl::fromLocalFile(m_files.value(m_current));
    }
    void advance() { m_current = (m_current + 1) % std::max<qsizetype>(1, m_files.size()); }

private:
    QStringList m_files;
    qsizetype m_current = 0;
};

} // namespace

QWidget* makeViewSourcePage()
{
    auto* window = new QWidget;
    window->setWindowTitle(QStringLiteral("Widget gallery: view source"));
    window->resize(760, 560);
    auto* layout = new QVBoxLayout(window);
    layout->addWidget(new QLabel(QStringLiteral("The sheet shows an icon of the installed theme, then a second file, "
                                                "then a file that is not UTF-8.")));
    auto* again = new QPushButton(QStringLiteral("View Source…"));
    layout->addWidget(again);
    layout->addStretch(1);

    const QString icons = QStringLiteral("/usr/share/icons/Adwaita/scalable/");
    auto* files = new SourceFiles({icons + QStringLiteral("places/folder-symbolic.svg"),
                                   icons + QStringLiteral("devices/printer-symbolic.svg"),
                                   QStringLiteral("/usr/bin/true")},
                                  window);
    auto* controller = new ZQViewSourceController;
    QObject::connect(window, &QObject::destroyed, [controller] { delete controller; });
    QObject::connect(again, &QPushButton::clicked, window, [window, files, controller] {
        files->advance();
        controller->beginSheetModalForWindowDelegate(window, files);
    });
    QTimer::singleShot(0, window, [window, files, controller] {
        controller->beginSheetModalForWindowDelegate(window, files);
    });
    return window;
}
