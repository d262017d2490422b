#pragma once

// The application's side of shapefile imports: each import's row in the shared progress
// window, the alert for errors met, and the object factory of every new reader. Installed
// at launch as geodata's import services.

#include "geodata/ShapefileImportServices.h"

class ShapefileImportHost : public geodata::ShapefileImportServices {
public:
    // Installs a host unless one is installed already.
    static void install();

    std::shared_ptr<geodata::ImportProgress> beginProgressForReader(ZQESRIFile* reader, const QString& prompt) override;
    void displayErrorAlertWithString(const QString& text) override;
    std::shared_ptr<ZQShapefileObjectMaker> makeObjectFactory() override;
};
