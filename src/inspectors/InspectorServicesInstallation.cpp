#include "inspectors/InspectorServicesInstallation.h"

#include "app/services/InspectorServices.h"
#include "inspectors/object_inspector/ZQObjectInspector.h"

void installInspectorServices()
{
    InspectorServices& services = InspectorServices::installed();
    services.showObjectInspector = [] { ZQObjectInspector::sharedObjectInspector()->showObjectInspector(); };
    services.showObjectInspectorWithAttributes = &ZQObjectInspector::showObjectInspectorWithAttributes;
}
