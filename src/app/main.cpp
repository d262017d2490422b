#include "platform/ui/Application.h"

#include <QMainWindow>

int main(int argc, char** argv)
{
    platform::Application app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvane"));
    QApplication::setOrganizationName(QStringLiteral("Quorvane"));

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Quorvane"));
    window.resize(1024, 720);
    window.show();
    return app.exec();
}
