#pragma once

// Turns a shapefile record, already a path in drawing coordinates, into a map object with
// the record's attributes as its metadata (one copy for records with alike attributes):
// polygons become shapes (of the class substituted for plain shapes), polylines paths,
// points placed symbols of the master for imported points (4 x 4 ovals while there is none). Polygons take one default style, or colours
// cycled through a named colour list, or palette colours picked by a "mapcolor" attribute.
//
// One factory per import, used by its parsing thread only: the styles it makes belong to
// that import's objects and are shared with nobody else.

#include "app/import/SharedAttributeValues.h"
#include "app/services/PointSymbolMaster.h"
#include "geodata/ZQShapefileObjectMaker.h"
#include "platform/graphics/ColourList.h"
#include "platform/vantrix/styles/VXStyle.h"

#include <QCache>
#include <QHash>
#include <functional>
#include <optional>

class VXDrawableObject;
struct QMetaObject;

class ZQShapefileObjectFactory : public ZQShapefileObjectMaker {
public:
    // The colour list used when the chosen one does not exist.
    static inline const QString kDefaultColourListName = QStringLiteral("Crayons");

    ZQShapefileObjectFactory();
    ~ZQShapefileObjectFactory() override;

    // Default styles, the point master, and the colouring chosen in the import options.
    void init();
    static std::shared_ptr<ZQShapefileObjectFactory> makeFactory();

    // Records mapped to symbol masters by an attribute value; nothing fills it yet.
    using SymbolMappingTable = QHash<QString, std::shared_ptr<PointSymbolMaster>>;

    // How the symbols library hands over the master for imported points; null for none.
    using SymbolMasterProvider = std::function<std::shared_ptr<PointSymbolMaster>()>;
    static void setDefaultSymbolMasterProvider(SymbolMasterProvider provider);

    // The class of the objects made for a shape type: polygons and polylines take the classes
    // substituted for plain shapes and paths (the labelled shape for polygons), points the
    // placed symbol's; null for the types that make nothing.
    static const QMetaObject* classForShape(qint32 shapeType);
    std::shared_ptr<ZQObject> objectForShapeWithPathAttributes(qint32 shapeType, const QPainterPath& path,
                                                               const geodata::AttributeDictionary* attributes) override;
    void setUserInfoObjectForKey(const std::shared_ptr<ZQObject>& object, const QVariant& value,
                                 const QString& key) override;
    // The object, its styles and their components, where this import made them.
    void moveObjectToThread(const std::shared_ptr<ZQObject>& object, QThread* thread) override;
    // A symbol of the default master at the path's first point; null without a master.
    std::shared_ptr<VXDrawableObject> symbolWithPathAttributes(const QPainterPath& path,
                                                               const geodata::AttributeDictionary* attributes);
    // A new style with the list's next colour; the first call takes its second colour.
    VXStylePtr nextAutoColourStyle();
    // The shared style of palette entry `index` (1-based) of the palette `name` selects.
    VXStylePtr styleForMapcolorAttributeNameIndex(const QString& name, qint64 index);

    const SymbolMappingTable& symbolMappingTable() const { return m_mappingTable; }
    void setSymbolMappingTable(SymbolMappingTable table) { m_mappingTable = std::move(table); }
    std::shared_ptr<PointSymbolMaster> defaultSymbol() const { return m_defaultSymbol; }
    void setDefaultSymbol(std::shared_ptr<PointSymbolMaster> master) { m_defaultSymbol = std::move(master); }
    VXStylePtr defaultLineStyle() const { return m_defaultLineStyle; }
    void setDefaultLineStyle(VXStylePtr style) { m_defaultLineStyle = std::move(style); }
    VXStylePtr defaultShapeStyle() const { return m_defaultShapeStyle; }
    void setDefaultShapeStyle(VXStylePtr style) { m_defaultShapeStyle = std::move(style); }
    bool autoColourShapes() const { return m_autoColour; }
    void setAutoColourShapes(bool autoColour) { m_autoColour = autoColour; }
    platform::ColourListPtr autoColourList() const { return m_autoColourList; }
    // Null gives the list the chosen name falls back to.
    void setAutoColourList(platform::ColourListPtr list);
    // Empty for none.
    QString mapcolorAttributeName() const { return m_mapcolorAttributeName; }
    void setMapcolorAttributeName(const QString& name) { m_mapcolorAttributeName = name; }

private:
    VXStylePtr polygonStyleForAttributes(const geodata::AttributeDictionary* attributes);

    SymbolMappingTable m_mappingTable;
    std::shared_ptr<PointSymbolMaster> m_defaultSymbol;
    VXStylePtr m_defaultLineStyle;
    VXStylePtr m_defaultShapeStyle;
    bool m_autoColour = false;
    platform::ColourListPtr m_autoColourList;
    quint64 m_autoColourIndex = 0;
    QString m_mapcolorAttributeName;
    QCache<QString, VXStylePtr> m_cachedStyles;
    SharedAttributeValues m_attributeValues;
};
