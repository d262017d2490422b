#pragma once

// A drawable that shows text through a text adornment of its own (text shapes, text paths).
//
// The adornment always exists and belongs to this object alone. The object observes it, so
// its changes become the object's: each is undone on the drawing's undo manager (an edit's
// changes land in the drawing's current undo step), the old and new areas of the text
// redraw, and the bounds take in where the text reaches. The keys string, font, textColour and alignment stand
// for the adornment's string, font, colour and alignment, so key-value coding and
// observing reach the text through the object; a locked object ignores them.
//
// A subclass declares the keys as Q_PROPERTYs (the accessors are here), configures the
// adornment it hands to the constructor, and archives it with encodeTextAdornment /
// decodeTextAdornment under a key of its own.

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/ZQLog.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/vantrix/model/ArchiveReader.h"
#include "platform/vantrix/model/KeyValueUndo.h"
#include "platform/vantrix/text/VXTextAdornment.h"

#include <QHash>
#include <algorithm>

namespace platform {

template <class Base>
class TextAdornmentOwner : public Base {
public:
    const VXTextAdornmentPtr& textAdornment() const { return m_textAdornment; }
    // Undoable; null is ignored, as the object always has text to edit. An adornment that
    // another object shows, or a style holds, is copied, so edits of one object's text never
    // reach another's.
    void setTextAdornment(const VXTextAdornmentPtr& adornment)
    {
        if (!adornment)
            return;
        const QList<VXRasterizerObserver*> observers = adornment->rastObservers();
        const bool shownElsewhere = adornment->container()
            || std::any_of(observers.cbegin(), observers.cend(), [this](const VXRasterizerObserver* o) { return o != this; });
        const VXTextAdornmentPtr own =
            shownElsewhere ? std::static_pointer_cast<VXTextAdornment>(adornment->copy()) : adornment;
        if (this->changeValueForKey(m_textAdornment, own, "textAdornment", Base::Change::Appearance))
            this->updateRasterizerObservation();
    }

    QString string() const { return m_textAdornment->string(); }
    void setString(const QString& string)
    {
        if (!this->locked())
            m_textAdornment->setString(string);
    }
    QFont font() const { return m_textAdornment->font(); }
    void setFont(const QFont& font)
    {
        if (!this->locked())
            m_textAdornment->setFont(font);
    }
    QColor textColour() const { return m_textAdornment->colour(); }
    void setTextColour(const QColor& colour)
    {
        if (!this->locked())
            m_textAdornment->setColour(colour);
    }
    // 0 left, 1 right, 2 centre, 3 justified.
    int alignment() const { return m_textAdornment->alignment(); }
    void setAlignment(int alignment)
    {
        if (!this->locked())
            m_textAdornment->setAlignment(alignment);
    }

    // The outline's bounds with the area the text covers.
    QRectF bounds() const override
    {
        std::optional<QRectF>& cached = this->cachedBounds();
        if (!cached) {
            const QRectF outline = Base::bounds();
            cached = outline.united(m_textAdornment->boundsNeededForObject(*this));
        }
        return *cached;
    }

    // The text is hit where it is drawn, as well as the outline.
    int hitPart(QPointF point) const override
    {
        const int part = Base::hitPart(point);
        // The cached bounds take in the text: most misses end here without placing it.
        if (part != kVXDrawingNoPart || !this->visible() || !bounds().contains(point))
            return part;
        return m_textAdornment->boundsNeededForObject(*this).contains(point) ? kVXDrawingEntireObjectPart
                                                                             : kVXDrawingNoPart;
    }

    void drawContent() const override
    {
        Base::drawContent();
        if (!this->ghosted())
            m_textAdornment->render(*this);
    }

    QStringList keyPathsForValuesAffectingValueForKey(const QString& key) const override
    {
        static const QHash<QString, QString> adornmentKeys{
            {QStringLiteral("string"), QStringLiteral("textAdornment.string")},
            {QStringLiteral("font"), QStringLiteral("textAdornment.font")},
            {QStringLiteral("textColour"), QStringLiteral("textAdornment.colour")},
            {QStringLiteral("alignment"), QStringLiteral("textAdornment.alignment")},
        };
        const auto found = adornmentKeys.constFind(key);
        return found != adornmentKeys.cend() ? QStringList{*found} : Base::keyPathsForValuesAffectingValueForKey(key);
    }

    QList<VXRasterizerPtr> observedRasterizers() const override
    {
        return Base::observedRasterizers() << m_textAdornment;
    }

protected:
    explicit TextAdornmentOwner(VXTextAdornmentPtr adornment) : m_textAdornment(std::move(adornment))
    {
        this->updateRasterizerObservation();
    }

    // For the textAdornment Q_PROPERTY: key-value paths walk QObject pointers.
    VXTextAdornment* textAdornmentObject() const { return m_textAdornment.get(); }
    void setTextAdornmentObject(VXTextAdornment* adornment)
    {
        if (!adornment)
            return;
        auto shared = std::dynamic_pointer_cast<VXTextAdornment>(adornment->weak_from_this().lock());
        if (!shared) {
            ZQLogObjCMethod(QStringLiteral("a text adornment must be shared to be set on an object; ignored"));
            return;
        }
        setTextAdornment(shared);
    }

    void encodeTextAdornment(KeyedArchiver& coder, const QString& key) const
    {
        coder.encodeObject(m_textAdornment.get(), key);
    }
    // Without a usable archived adornment the one made with the object stays.
    void decodeTextAdornment(KeyedUnarchiver& coder, const QString& key)
    {
        if (VXTextAdornmentPtr decoded = ArchiveReader(coder).object<VXTextAdornment>(key)) {
            m_textAdornment = std::move(decoded);
            this->updateRasterizerObservation();
        }
        this->invalidateGeometryCaches();
    }

    // Substituted "%%key" values change what the text says, and so its extent.
    void metadataDidChangeForKey(const QString&) override { this->notifyGeometryChange(bounds()); }

private:
    VXTextAdornmentPtr m_textAdornment;
};

} // namespace platform
