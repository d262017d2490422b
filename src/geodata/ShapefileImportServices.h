#pragma once

// What a shapefile import needs of the application around it: a row in the progress
// window, an alert, and the maker of drawables. Geodata knows neither widgets nor the
// drawing framework, so the application installs these services at start-up. Without them
// an import runs unseen and its readers start without an object factory.

#include <QString>
#include <memory>

class ZQESRIFile;
class ZQShapefileObjectMaker;

namespace geodata {

// A shown progress row for one import. It asks its reader for the fraction done every
// 0.1 s (progressFractionForProgressShouldCancel), passing on the stop button's state.
class ImportProgress {
public:
    virtual ~ImportProgress() = default;
    // Takes the row away; may be called from any thread.
    virtual void endProgress() = 0;
};

class ShapefileImportServices {
public:
    virtual ~ShapefileImportServices() = default;

    // The installed services, or null. Main thread only.
    static ShapefileImportServices* installed();
    // Answers the services installed before, so a caller can put them back.
    static std::shared_ptr<ShapefileImportServices> install(std::shared_ptr<ShapefileImportServices> services);

    // Shows a row titled `prompt` that polls `reader` until it is ended. Main thread.
    virtual std::shared_ptr<ImportProgress> beginProgressForReader(ZQESRIFile* reader, const QString& prompt) = 0;
    // Tells the user that an import met errors; `text` says which. Main thread.
    virtual void displayErrorAlertWithString(const QString& text) = 0;
    // The object factory of a new reader; each reader gets its own.
    virtual std::shared_ptr<ZQShapefileObjectMaker> makeObjectFactory() = 0;
};

} // namespace geodata
