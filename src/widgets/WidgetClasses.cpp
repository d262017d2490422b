#include "widgets/WidgetClasses.h"

#include "platform/foundation/FoundationClasses.h"
#include "platform/measurement/MeasurementClasses.h"
#include "platform/vantrix/model/VantrixDrawingClasses.h"
#include "platform/vantrix/styles/VantrixComponentClasses.h"
#include "platform/vantrix/styles/VantrixStyleClasses.h"
#include "platform/vantrix/text/VantrixTextClasses.h"

void registerWidgetClasses()
{
    registerFoundationClasses();
    registerMeasurementClasses();
    registerVantrixStyleClasses();
    registerVantrixComponentClasses();
    registerVantrixTextClasses();
    registerVantrixDrawingClasses();
}
