#include "inspectors/geometry/SliceServices.h"

namespace {

std::shared_ptr<VLTMSliceServices>& installedServices()
{
    static std::shared_ptr<VLTMSliceServices> services;
    return services;
}

} // namespace

void VLTMSliceServices::install(std::shared_ptr<VLTMSliceServices> services)
{
    installedServices() = std::move(services);
}

VLTMSliceServices* VLTMSliceServices::installed()
{
    return installedServices().get();
}
