#pragma once

// The tool that places symbols ("Place Symbol"). A press shows a new instance of the tool's
// master under the pointer, scaled by the document's prescale; over a multi-style path it
// sits on the path's nearest point. A drag moves it, turned to the path's direction while it
// is over one and upright elsewhere. The release places it: in the layer, selected, as one
// undo step "Place Symbol", or on the path as an adornment, "Place Symbol On Track".
//
// With Option held, or for a master that auto-detaches its instances, a plain copy of the
// master's graphic is placed instead of a symbol; Option also keeps the symbol off paths.
// A tool without a master beeps at a press and places nothing.

#include "platform/vantrix/tools/VXObjectCreationTool.h"
#include "symbols/masters/VXQSymbolMaster.h"

#include <QPointer>

class VXQSymbol;
class VXToolRegistry;
class ZQMultiStylePath;

inline const QString kVXQSymbolToolName = QStringLiteral("Place Symbol");

// Registers a symbol tool of the default master as "Place Symbol", key "y".
void registerSymbolTool(VXToolRegistry& registry);
// Has the application delegate's tool registration call registerSymbolTool; adds it once
// however often it is called.
void addSymbolToolRegistration();

class VXQSymbolTool : public VXObjectCreationTool {
    Q_OBJECT

public:
    explicit VXQSymbolTool(const VXQSymbolMasterPtr& master);
    ~VXQSymbolTool() override;

    VXQSymbolMasterPtr symbolMaster() const { return m_symbolMaster; }
    // Invokable, so that what finds the tool by name (a symbol's Pick Up) can retarget it.
    Q_INVOKABLE void setSymbolMaster(const VXQSymbolMasterPtr& master) { m_symbolMaster = master; }
    // Not used: the master stands for the prototype. Asking logs the misuse and answers null.
    VXDrawableObjectPtr prototype() const override;
    // Makes a master the tool's master; null is ignored, and anything else is logged and
    // refused. Answers whether the master changed.
    bool setPrototype(const ZQObjectPtr& prototype);
    // A symbol of the master at the origin; null without a master.
    std::shared_ptr<VXQSymbol> objectFromPrototype() const;
    // The style for created objects when one is set, else that of the master's graphic.
    VXStylePtr style() const override;
    // The name set for the last placement ("Place Symbol", "Place Symbol On Track"), else the framework's.
    QString actionName() const override;

    // A rubber stamp whose hot spot is the lower left corner of its face.
    static QCursor symbolToolCursor();
    QCursor cursor() const override { return symbolToolCursor(); }
    // Retargeted by library items of the symbol kind.
    int supportedLibraryItemKind() const override { return 2; }

    // The master's unique key as UTF-8, saved with the tool's settings; empty without a master.
    QByteArray persistentData() const;
    // Takes the master registered under the key the data holds, leaving the tool without a
    // master when none is; answers whether one was found. Empty data or data that is not
    // UTF-8 text is refused and the master kept.
    bool shouldLoadPersistentData(const QByteArray& data);

    int mouseDownAtPointTargetObjectLayerEventDelegate(QPointF point, VXDrawableObject* target, VXLayer* layer,
                                                       QMouseEvent* event, VXToolController* delegate) override;
    void mouseDraggedToPointPartCodeLayerEventDelegate(QPointF point, int partCode, VXLayer* layer,
                                                       QMouseEvent* event, VXToolController* delegate) override;
    bool mouseUpAtPointPartCodeLayerEventDelegate(QPointF point, int partCode, VXLayer* layer, QMouseEvent* event,
                                                  VXToolController* delegate) override;
    void abandonGesture() override { dropPendingSymbol(); }

private:
    // Starts the gesture; answers false, with a log line, when the layer or the master will not do.
    bool beginPlacing(QPointF point, VXDrawableObject* target, VXLayer* layer, const QMouseEvent* event);
    // Where the symbol goes for the pointer: on the target path when it lies over it.
    void placeAt(QPointF point, const QMouseEvent* event, bool turnWithPath);
    // The length along the target path under `point`; negative off the path or without one.
    double targetPathLengthAt(QPointF point) const;
    void setTargetPath(ZQMultiStylePath* path);
    // Changes the pending symbol outside its layer, so the gesture registers no undo.
    void changePendingSymbol(const std::function<void(VXQSymbol&)>& change);
    void dropPendingSymbol();
    // The object the release puts down: the pending symbol, or a plain copy of the graphic.
    VXDrawableObjectPtr objectToPlace(const QMouseEvent* event) const;

    QPointer<ZQMultiStylePath> m_targetPath;
    QString m_actionName;
    VXQSymbolMasterPtr m_symbolMaster;
    // The gesture in progress: the symbol the layer shows as pending.
    std::shared_ptr<VXQSymbol> m_symbol;
    QPointer<VXObjectOwnerLayer> m_layer;
};
