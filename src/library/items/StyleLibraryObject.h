#pragma once

// A style seen as a library object. Styles keep their modification time from 1970 and
// describe themselves from their components, so the adapter converts the time and keeps a
// description set through it beside the style.

#include "platform/vantrix/styles/VXStyle.h"
#include "symbols/manager/VXQLibraryObjectProtocol.h"

class StyleLibraryObject : public VXQLibraryObjectProtocol {
public:
    explicit StyleLibraryObject(VXStylePtr style) : m_style(std::move(style)) {}

    const VXStylePtr& style() const { return m_style; }

    std::shared_ptr<ZQObject> clone() const override { return m_style->clone(); }
    QImage image() override { return m_style->image(); }
    QString name() const override { return m_style->name(); }
    void setName(const QString& name) override { m_style->setName(name); }
    QString userDescription() const override;
    void setUserDescription(const QString& description) override { m_description = description; }
    QString uniqueKey() const override { return m_style->uniqueKey(); }
    bool locked() const override { return m_style->locked(); }
    void setLocked(bool locked) override { m_style->setLocked(locked); }
    double lastModificationTimestamp() const override;
    QByteArray fileData() const override;
    QImage imageToFitSizeAllowScaleUp(QSizeF size, bool allowScaleUp) override;
    QImage imageToFitSizeWithPixelRatio(QSizeF size, qreal pixelRatio) override
    {
        return m_style->imageToFitSize(size, pixelRatio);
    }
    void copyToPasteboard(platform::Pasteboard& pasteboard) const override;

private:
    VXStylePtr m_style;
    QString m_description;
};
