#include "platform/vantrix/VantrixDrawingClasses.h"

#include "platform/foundation/ClassRegistry.h"
#include "platform/measurement/MeasurementClasses.h"
#include "platform/vantrix/VXArcPath.h"
#include "platform/vantrix/VXBSPDirectObjectStorage.h"
#include "platform/vantrix/VXDrawing.h"
#include "platform/vantrix/VXGuideLayer.h"
#include "platform/vantrix/VXImageShape.h"
#include "platform/vantrix/VXIsometricGridLayer.h"
#include "platform/vantrix/VXLinearObjectStorage.h"
#include "platform/vantrix/VXMetadataItem.h"
#include "platform/vantrix/VXObjectDrawingLayer.h"
#include "platform/vantrix/VXRegularPolygonPath.h"
#include "platform/vantrix/VXRoundEndRectShape.h"
#include "platform/vantrix/VXRoundRectShape.h"
#include "platform/vantrix/VXShapeGroup.h"
#include "platform/vantrix/VXTextPath.h"
#include "platform/vantrix/VXTextShape.h"

void registerVantrixDrawingClasses()
{
    using platform::ClassRegistry;
    registerMeasurementClasses(); // drawings archive their units
    ClassRegistry::registerClass<VXMetadataItem>();
    ClassRegistry::registerClass<VXLinearObjectStorage>();
    ClassRegistry::registerClass<VXBSPDirectObjectStorage>();

    ClassRegistry::registerClass<VXDrawing>();
    ClassRegistry::registerClass<VXLayer>();
    ClassRegistry::registerClass<VXLayerGroup>();
    ClassRegistry::registerClass<VXObjectOwnerLayer>();
    ClassRegistry::registerClass<VXObjectDrawingLayer>();
    ClassRegistry::registerClass<VXGridLayer>();
    ClassRegistry::registerClass<VXIsometricGridLayer>();
    ClassRegistry::registerClass<VXGuideLayer>();

    ClassRegistry::registerClass<VXDrawableObject>();
    ClassRegistry::registerClass<VXDrawableShape>();
    ClassRegistry::registerClass<VXRoundRectShape>();
    ClassRegistry::registerClass<VXRoundEndRectShape>();
    ClassRegistry::registerClass<VXTextShape>();
    ClassRegistry::registerClass<VXImageShape>();
    ClassRegistry::registerClass<VXDrawablePath>();
    ClassRegistry::registerClass<VXRegularPolygonPath>();
    ClassRegistry::registerClass<VXArcPath>();
    ClassRegistry::registerClass<VXTextPath>();
    ClassRegistry::registerClass<VXShapeGroup>();
}
