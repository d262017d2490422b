#include "symbols/SymbolClasses.h"

#include "app/services/PointSymbolMaster.h"
#include "app/import/ZQShapefileObjectFactory.h"
#include "platform/foundation/ClassRegistry.h"
#include "symbols/keytable/VXQKeyTable.h"
#include "symbols/keytable/VXQKeyTableTextShape.h"
#include "symbols/labels/VXQLabelLeaderLine.h"
#include "symbols/labels/PathLabelContainer.h"
#include "symbols/labels/VXQTextBlockLabel.h"
#include "symbols/labels/VXQTextPathLabel.h"
#include "symbols/manager/VXQSymbolManager.h"
#include "symbols/masters/VXQSymbolMaster.h"
#include "symbols/placed/VXQSymbol.h"
#include "symbols/sequences/VXQSymbolSequence.h"
#include "symbols/shapes/VXQLabelledShape.h"
#include "symbols/tool/VXQSymbolTool.h"
#include "symbols/transformers/VXQBinningDataTransformer.h"
#include "tracks/TrackClasses.h"

namespace {

// Shapefile points become symbols of the master for imported points.
class ImportedPointMaster : public PointSymbolMaster {
public:
    explicit ImportedPointMaster(VXQSymbolMasterPtr master) : m_master(std::move(master)) {}
    std::shared_ptr<VXDrawableObject> symbolWithLocation(QPointF location) override
    {
        return m_master->symbolWithLocation(location);
    }

private:
    VXQSymbolMasterPtr m_master;
};

} // namespace

void registerSymbolClasses()
{
    registerTrackClasses();
    platform::ClassRegistry::registerClass<VXQTextBlockLabel>();
    platform::ClassRegistry::registerClass<VXQLabelLeaderLine>();
    platform::ClassRegistry::registerClass<VXQLabelledShape>();
    platform::ClassRegistry::registerClass<VXQTextPathLabel>();
    platform::ClassRegistry::registerClass<VXQSymbolMaster>();
    platform::ClassRegistry::registerClass<VXQSymbolManager>();
    platform::ClassRegistry::registerClass<VXImageDataManager>();
    platform::ClassRegistry::registerClass<VXQSymbol>();
    platform::ClassRegistry::registerClass<VXQSymbolSequence>();
    platform::ClassRegistry::registerClass<VXQKeyTable>();
    platform::ClassRegistry::registerClass<VXQKeyTableTextShape>();
    platform::ClassRegistry::registerClass<VXQDataTransformer>();
    platform::ClassRegistry::registerClass<VXQNumericDataTransformer>();
    platform::ClassRegistry::registerClass<VXQBinningDataTransformer>();
    platform::ClassRegistry::registerClass<VXQBin>();
    // Menu items carry masters as plain objects; setMaster takes them back through this.
    registerObjectPointerType<VXQSymbolMaster>();
    addSymbolToolRegistration();
    // Asked on the main thread, as each import starts.
    ZQShapefileObjectFactory::setDefaultSymbolMasterProvider(
        [] { return std::make_shared<ImportedPointMaster>(VXQSymbolMaster::defaultSymbolMasterForPointObjectImport()); });
    static PathLabelContainer::Behaviour pathLabels;
    PathTextLabels::install(&pathLabels);
}
