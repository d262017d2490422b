#pragma once

// The pasteboard: typed data on the clipboard (the general pasteboard) or in a drag.
//
// Types are the platform's names; one mapping turns them into MIME types: the standard
// types below into the usual MIME types, and every other type into
// "application/x-quorvane.<type>" (characters a MIME type cannot hold are %-escaped).
// Data from outside is not trusted: text that is not UTF-8, a property list that does not
// parse, an image that does not decode or an archive that does not unarchive answers
// nothing.

#include "platform/foundation/ZQObject.h"

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>
#include <QPointer>
#include <QStringList>
#include <QUrl>
#include <optional>

class QMimeData;

namespace platform {

inline const QString kPasteboardTypeString = QStringLiteral("string");
inline const QString kPasteboardTypeHTML = QStringLiteral("html");
inline const QString kPasteboardTypeRTF = QStringLiteral("rtf");
inline const QString kPasteboardTypeURL = QStringLiteral("url");
inline const QString kPasteboardTypePNG = QStringLiteral("png");
inline const QString kPasteboardTypeTIFF = QStringLiteral("tiff");
inline const QString kPasteboardTypePDF = QStringLiteral("pdf");
inline const QString kPasteboardTypeColor = QStringLiteral("color");

// The one mapping between pasteboard types and MIME types.
QString mimeTypeForPasteboardType(const QString& type);
// The pasteboard type of a MIME type; empty for MIME types no pasteboard type maps to.
QString pasteboardTypeForMimeType(const QString& mimeType);

class Pasteboard {
public:
    // The clipboard.
    static Pasteboard generalPasteboard();
    // A drag's data, to fill before handing it to QDrag.
    explicit Pasteboard(QMimeData* data);
    // Dropped data: reading only.
    explicit Pasteboard(const QMimeData* data);

    // --- Writing --------------------------------------------------------------------------
    // Empties the pasteboard and answers its new change count.
    int clearContents();
    // Empties the pasteboard and declares types in order of preference. Data for a type is
    // set afterwards; a declared type with no data yet reads as empty.
    void declareTypes(const QStringList& types);
    void addTypes(const QStringList& types);
    bool setDataForType(const QByteArray& data, const QString& type);
    bool setStringForType(const QString& string, const QString& type);
    // A binary property list.
    bool setPropertyListForType(const QVariant& propertyList, const QString& type);
    // A keyed archive of the object.
    bool setArchivedObjectForType(const ZQObject* object, const QString& type);
    bool setColor(const QColor& colour);
    bool setImage(const QImage& image);
    bool setURLs(const QList<QUrl>& urls);

    // --- Reading --------------------------------------------------------------------------
    // Types in the order they were declared.
    QStringList types() const;
    // The first of `types` the pasteboard holds, or empty.
    QString availableTypeFromArray(const QStringList& types) const;
    QByteArray dataForType(const QString& type) const;
    // Null when absent or not UTF-8.
    QString stringForType(const QString& type) const;
    std::optional<QVariant> propertyListForType(const QString& type) const;
    // Null when absent, damaged or of a class that is not registered.
    ZQObjectPtr archivedObjectForType(const QString& type) const;
    // Invalid when absent or damaged.
    QColor color() const;
    // Null when absent or damaged (PNG, then TIFF).
    QImage image() const;
    QList<QUrl> URLs() const;

    // Grows with every change of the pasteboard's contents.
    int changeCount() const;
    // The data read, for readers that take MIME data (styles); null when there is none.
    const QMimeData* mimeData() const { return readable(); }

private:
    enum class Backend { Clipboard, Data };
    Pasteboard(Backend backend, QMimeData* data, const QMimeData* readable);

    const QMimeData* readable() const;
    // Applies `change` to the contents: in place for a drag, by replacing them on the clipboard.
    bool write(const std::function<void(QMimeData&)>& change);

    Backend m_backend;
    QPointer<QMimeData> m_data;
    QPointer<const QMimeData> m_readable;
};

} // namespace platform
