#pragma once

// What a map document asks of the libraries built above the application core: the map
// furniture (the index grid and its settings sheet) and the export sheet. Each library
// installs its part at start-up; until then a new map gets a plain grid, the grid settings
// command stays off and the slices' export command does nothing.

#include <QVariantMap>
#include <functional>
#include <memory>

class QWidget;
class VXGridLayer;
class ZQQuorvaneDocument;

struct MapDocumentServices {
    // A new map's index grid, set up as the defaults ask.
    std::function<std::shared_ptr<VXGridLayer>()> makeDefaultMapGrid;
    // Opens the index grid settings sheet on the window for the grid; the sheet keeps itself
    // alive until it ends.
    std::function<void(QWidget* window, const std::shared_ptr<VXGridLayer>& grid)> editGridSettings;
    // Opens the export sheet with the document's slices as the preferred source.
    std::function<void(ZQQuorvaneDocument& document)> exportSlices;

    static MapDocumentServices& installed();
};

// A document's export operation as the document keeps it: the settings it answers travel in
// the map package.
class MapExportSettings {
public:
    virtual ~MapExportSettings() = default;
    virtual QVariantMap restorableStateInfo() const = 0;
};
