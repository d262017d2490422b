#include "furniture/FurnitureClasses.h"
#include "geodata/GeodataClasses.h"
#include "platform/foundation/FoundationClasses.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/measurement/MeasurementClasses.h"
#include "platform/ui/Application.h"

#include <QMainWindow>

int main(int argc, char** argv)
{
    platform::Application app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvane"));
    QApplication::setOrganizationName(QStringLiteral("Quorvane"));

    registerFoundationClasses();
    registerMeasurementClasses();
    registerFurnitureClasses();
    registerGeodataClasses();
    platform::UserDefaults::standardUserDefaults()->registerDefaultsFromBundleResource(QStringLiteral("Quorvane_defaults"),
                                                                                      QStringLiteral("plist"));

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Quorvane"));
    window.resize(1024, 720);
    window.show();
    return app.exec();
}
