#pragma once

// The document of one drawing: it owns the drawing, lends the drawing its undo manager,
// and knows the view that shows it. A new document gets makeDefaultDrawing; subclasses
// choose the drawing they start with and the class of layer users add.
//
// The document reads and writes the flat "Drawing" file type: a keyed archive whose root
// is the drawing. Saving clears the undo history unless the user default
// kVXDocumentDontClearUndoOnSave is set.

#include "platform/ui/Document.h"
#include "platform/vantrix/model/VXDrawing.h"

#include <QPointer>

class VXDrawingTool;
class VXDrawingView;

inline const QString kVXDrawingDocumentType = QStringLiteral("Drawing");
inline const QString kVXDocumentDontClearUndoOnSave = QStringLiteral("kVXDocumentDontClearUndoOnSave");

class VXDrawingDocument : public platform::Document {
    Q_OBJECT

public:
    VXDrawingDocument();
    ~VXDrawingDocument() override;

    // An untitled document starts with makeDefaultDrawing.
    bool initWithTypeError(const QString& typeName, QuorvaneError* error) override;

    // --- The drawing -------------------------------------------------------------------
    const VXDrawingPtr& drawing() const { return m_drawing; }
    // Becomes the drawing's owner and lends it the undo manager; the main view follows.
    // A null drawing is a programming error.
    virtual void setDrawing(const VXDrawingPtr& drawing);
    // The drawing a new document starts with; the default is the framework's A4 drawing.
    virtual VXDrawingPtr makeDefaultDrawing();
    // The class of layer that "new layer" commands add: an object drawing layer by default.
    virtual const QMetaObject& classOfDefaultDrawingLayer() const;
    // A new, empty layer of that class (made through the class registry).
    VXLayerPtr makeDefaultDrawingLayer() const;

    // --- The view ----------------------------------------------------------------------
    // The drawing view of the document's window; null until the window is made.
    VXDrawingView* mainView() const;
    void setMainView(VXDrawingView* view);
    // The tool in effect in the main view; null without one.
    VXDrawingTool* drawingTool() const;

    // Undo levels of new documents (0: unlimited).
    static int defaultLevelsOfUndo();

    // --- Reading and writing -------------------------------------------------------------
    bool readFromDataOfTypeError(const QByteArray& data, const QString& typeName, QuorvaneError* error) override;
    std::optional<QByteArray> dataOfTypeError(const QString& typeName, QuorvaneError* error) override;
    bool saveToURLOfTypeForSaveOperationError(const QUrl& url, const QString& typeName,
                                              SaveOperationType operation, QuorvaneError* error) override;

    // The drawing as a keyed archive, and back; null with an error (101) for damaged data.
    static QByteArray archivedDrawing(const VXDrawing& drawing);
    static VXDrawingPtr drawingFromArchive(const QByteArray& data, QuorvaneError* error);

private:
    VXDrawingPtr m_drawing;
    QPointer<VXDrawingView> m_mainView;
};
