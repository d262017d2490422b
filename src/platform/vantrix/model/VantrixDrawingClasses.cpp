#include "platform/vantrix/model/VantrixDrawingClasses.h"

#include "platform/foundation/ClassRegistry.h"
#include "platform/measurement/MeasurementClasses.h"
#include "platform/vantrix/drawables/VXArcPath.h"
#include "platform/vantrix/drawables/VXImageShape.h"
#include "platform/vantrix/drawables/VXRegularPolygonPath.h"
#include "platform/vantrix/drawables/VXRoundEndRectShape.h"
#include "platform/vantrix/drawables/VXRoundRectShape.h"
#include "platform/vantrix/drawables/VXShapeGroup.h"
#include "platform/vantrix/drawables/VXTextPath.h"
#include "platform/vantrix/drawables/VXTextShape.h"
#include "platform/vantrix/model/VXBSPDirectObjectStorage.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXGuideLayer.h"
#include "platform/vantrix/model/VXIsometricGridLayer.h"
#include "platform/vantrix/model/VXLinearObjectStorage.h"
#include "platform/vantrix/model/VXMetadataItem.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"

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
