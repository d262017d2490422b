#include "platform/vantrix/model/VXDrawingDocument.h"

#include "platform/foundation/ClassRegistry.h"
#include "platform/foundation/HeapGrowthAhead.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"
#include "platform/ui/DocumentError.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/settings/VXDrawingPreferences.h"
#include "platform/vantrix/tools/VXToolController.h"
#include "platform/vantrix/view/VXDrawingView.h"

namespace {

constexpr QSizeF kA4Portrait(595, 842);

} // namespace

VXDrawingDocument::VXDrawingDocument()
{
    undoManager()->setLevelsOfUndo(defaultLevelsOfUndo());
}

VXDrawingDocument::~VXDrawingDocument()
{
    if (m_drawing && m_drawing->owner() == this)
        m_drawing->setOwner(nullptr);
}

bool VXDrawingDocument::initWithTypeError(const QString& typeName, QuorvaneError* error)
{
    if (!Document::initWithTypeError(typeName, error))
        return false;
    setDrawing(makeDefaultDrawing());
    return true;
}

// --- The drawing ---------------------------------------------------------------------------

void VXDrawingDocument::setDrawing(const VXDrawingPtr& drawing)
{
    ZQ_ASSERT(drawing, QStringLiteral("a document cannot hold a null drawing"));
    if (m_drawing == drawing)
        return;
    if (m_drawing && m_drawing->owner() == this)
        m_drawing->setOwner(nullptr);
    m_drawing = drawing;
    m_drawing->setUndoManager(undoManager());
    m_drawing->setOwner(this);
    if (m_mainView)
        m_mainView->setDrawing(m_drawing);
}

VXDrawingPtr VXDrawingDocument::makeDefaultDrawing()
{
    return VXDrawing::defaultDrawingWithSize(kA4Portrait);
}

const QMetaObject& VXDrawingDocument::classOfDefaultDrawingLayer() const
{
    return VXObjectDrawingLayer::staticMetaObject;
}

VXLayerPtr VXDrawingDocument::makeDefaultDrawingLayer() const
{
    const char* className = classOfDefaultDrawingLayer().className();
    auto layer = std::dynamic_pointer_cast<VXLayer>(platform::ClassRegistry::create(QString::fromLatin1(className)));
    ZQ_ASSERT(layer, QStringLiteral("the default layer class %1 is not a registered layer class").arg(className));
    return layer;
}

// --- The view --------------------------------------------------------------------------------

VXDrawingView* VXDrawingDocument::mainView() const
{
    return m_mainView;
}

void VXDrawingDocument::setMainView(VXDrawingView* view)
{
    m_mainView = view;
    if (m_mainView && m_drawing)
        m_mainView->setDrawing(m_drawing);
}

VXDrawingTool* VXDrawingDocument::drawingTool() const
{
    return m_mainView ? m_mainView->toolController()->drawingTool() : nullptr;
}

int VXDrawingDocument::defaultLevelsOfUndo()
{
    return VXDrawingPreferences::current().levelsOfUndo;
}

// --- Reading and writing -----------------------------------------------------------------------

bool VXDrawingDocument::readFromDataOfTypeError(const QByteArray& data, const QString& typeName,
                                                QuorvaneError* error)
{
    if (typeName != kVXDrawingDocumentType)
        return Document::readFromDataOfTypeError(data, typeName, error);
    VXDrawingPtr drawing = drawingFromArchive(data, error);
    if (!drawing)
        return false;
    setDrawing(drawing);
    return true;
}

std::optional<QByteArray> VXDrawingDocument::dataOfTypeError(const QString& typeName, QuorvaneError* error)
{
    if (typeName != kVXDrawingDocumentType || !m_drawing)
        return Document::dataOfTypeError(typeName, error);
    return archivedDrawing(*m_drawing);
}

bool VXDrawingDocument::saveToURLOfTypeForSaveOperationError(const QUrl& url, const QString& typeName,
                                                             SaveOperationType operation, QuorvaneError* error)
{
    if (!Document::saveToURLOfTypeForSaveOperationError(url, typeName, operation, error))
        return false;
    const bool keepsUndo = platform::UserDefaults::standardUserDefaults()->boolForKey(kVXDocumentDontClearUndoOnSave);
    if (operation != SaveToOperation && !keepsUndo)
        undoManager()->removeAllActions();
    return true;
}

QByteArray VXDrawingDocument::archivedDrawing(const VXDrawing& drawing)
{
    return platform::KeyedArchiver::archivedDataWithRootObject(&drawing);
}

VXDrawingPtr VXDrawingDocument::drawingFromArchive(const QByteArray& data, QuorvaneError* error)
{
    QuorvaneError decodingError;
    const platform::HeapGrowthAhead ahead(VXDrawableObject::heapBytesToDecode(data.size()));
    const ZQObjectPtr root = platform::KeyedUnarchiver::unarchiveObjectWithData(data, &decodingError);
    auto drawing = std::dynamic_pointer_cast<VXDrawing>(root);
    if (!drawing && error) {
        const QString reason = decodingError ? decodingError.localizedDescription()
                                             : QStringLiteral("the archive's root is not a drawing");
        *error = QuorvaneError(kQuorvaneDocumentError, QStringLiteral("The drawing could not be read: %1").arg(reason),
                               {{platform::kReadFailureReasonKey, reason}});
    }
    return drawing;
}
