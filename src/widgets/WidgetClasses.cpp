#include "widgets/WidgetClasses.h"

#include "platform/foundation/ClassRegistry.h"
#include "platform/foundation/FoundationClasses.h"
#include "platform/measurement/MeasurementClasses.h"
#include "platform/vantrix/model/VantrixDrawingClasses.h"
#include "platform/vantrix/styles/VantrixComponentClasses.h"
#include "platform/vantrix/styles/VantrixStyleClasses.h"
#include "platform/vantrix/text/VantrixTextClasses.h"
#include "widgets/cells/JXFinderIconCell.h"
#include "widgets/cells/ZQLabelledIconCell.h"
#include "widgets/iconview/JXDistributedViewCell.h"

void registerWidgetClasses()
{
    registerFoundationClasses();
    registerMeasurementClasses();
    registerVantrixStyleClasses();
    registerVantrixComponentClasses();
    registerVantrixTextClasses();
    registerVantrixDrawingClasses();
    platform::ClassRegistry::registerClass<JXDistributedViewCell>();
    platform::ClassRegistry::registerClass<JXFinderIconCell>();
    platform::ClassRegistry::registerClass<ZQLabelledIconCell>();
}
