#include "app/DrawingWindow.h"
#include "mapscale/MapScaleClasses.h"
#include "geodata/GeodataClasses.h"
#include "platform/foundation/FoundationClasses.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/measurement/MeasurementClasses.h"
#include "platform/ui/Application.h"
#include "platform/vantrix/VantrixComponentClasses.h"
#include "platform/vantrix/VantrixDrawingClasses.h"
#include "platform/vantrix/VantrixStyleClasses.h"
#include "platform/vantrix/VantrixTextClasses.h"

int main(int argc, char** argv)
{
    platform::Application app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvane"));
    QApplication::setOrganizationName(QStringLiteral("Quorvane"));

    registerFoundationClasses();
    registerMeasurementClasses();
    registerMapScaleClasses();
    registerGeodataClasses();
    registerVantrixStyleClasses();
    registerVantrixComponentClasses();
    registerVantrixTextClasses();
    registerVantrixDrawingClasses();
    platform::UserDefaults::standardUserDefaults()->registerDefaultsFromBundleResource(QStringLiteral("Quorvane_defaults"),
                                                                                      QStringLiteral("plist"));

    DrawingWindow window;
    window.show();
    return app.exec();
}
