#include "geodata/ShapefileImportServices.h"

namespace geodata {

namespace {

std::shared_ptr<ShapefileImportServices>& installedServices()
{
    static std::shared_ptr<ShapefileImportServices> services;
    return services;
}

} // namespace

ShapefileImportServices* ShapefileImportServices::installed()
{
    return installedServices().get();
}

std::shared_ptr<ShapefileImportServices> ShapefileImportServices::install(std::shared_ptr<ShapefileImportServices> services)
{
    return std::exchange(installedServices(), std::move(services));
}

} // namespace geodata
