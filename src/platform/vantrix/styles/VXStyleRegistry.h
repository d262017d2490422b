#pragma once

// The library of registered styles, as the style model sees it. The application installs
// one at start-up; until then styleRegistry() answers null and callers do without.

#include <QString>
#include <QStringList>
#include <memory>

class VXStyle;

class VXStyleRegistry {
public:
    virtual ~VXStyleRegistry() = default;

    virtual std::shared_ptr<VXStyle> styleForKey(const QString& key) const = 0;
    virtual bool containsKey(const QString& key) const = 0;
    virtual void addObjectForKeyToCategoriesCreateCategories(const std::shared_ptr<VXStyle>& style, const QString& key,
                                                             const QStringList& categories, bool createCategories) = 0;
    // `name`, or a numbered variant no registered style has.
    virtual QString uniqueNameForName(const QString& name) const = 0;
    virtual QStringList styleNames() const = 0;
    virtual void setRecentlyAddedListEnabled(bool enabled) = 0;
    virtual void setNeedsUIUpdate() = 0;

    static VXStyleRegistry* styleRegistry() { return s_registry; }
    // Not owned; the installer keeps it alive while installed and uninstalls it with null.
    static void setStyleRegistry(VXStyleRegistry* registry) { s_registry = registry; }

private:
    static inline VXStyleRegistry* s_registry = nullptr;
};
