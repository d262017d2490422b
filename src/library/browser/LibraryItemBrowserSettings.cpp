#include "library/browser/LibraryItemBrowserSettings.h"

#include "platform/foundation/UserDefaults.h"

namespace {

const QString kLayoutModeKey = QStringLiteral("_VXLIB_ITEM_VIEW_layoutMode");
const QString kIconSizingKey = QStringLiteral("_VXLIB_ITEM_VIEW_iconSizing");
const QString kIconUpscalingKey = QStringLiteral("_VXLIB_ITEM_VIEW_iconUpscaling");
const QString kLockBadgingKey = QStringLiteral("_VXLIB_ITEM_VIEW_lockBadging");
const QString kBackgroundColourKey = QStringLiteral("_bkgColorIndex");

platform::UserDefaults& defaults()
{
    return *platform::UserDefaults::standardUserDefaults();
}

} // namespace

LibraryItemBrowserSettings::LibraryItemBrowserSettings(std::function<QString()> root)
    : m_root(std::move(root))
{
}

int LibraryItemBrowserSettings::layoutMode() const { return integer(kLayoutModeKey); }
void LibraryItemBrowserSettings::setLayoutMode(int mode) { setInteger(kLayoutModeKey, mode); }
int LibraryItemBrowserSettings::iconSizing() const { return integer(kIconSizingKey); }
void LibraryItemBrowserSettings::setIconSizing(int sizing) { setInteger(kIconSizingKey, sizing); }
bool LibraryItemBrowserSettings::iconsCanBeScaledUp() const { return !flag(kIconUpscalingKey); }
void LibraryItemBrowserSettings::setIconsCanBeScaledUp(bool flag) { setFlag(kIconUpscalingKey, !flag); }
bool LibraryItemBrowserSettings::showsLockBadging() const { return flag(kLockBadgingKey); }
void LibraryItemBrowserSettings::setShowsLockBadging(bool flag) { setFlag(kLockBadgingKey, flag); }
int LibraryItemBrowserSettings::backgroundColourIndex() const { return integer(kBackgroundColourKey); }
void LibraryItemBrowserSettings::setBackgroundColourIndex(int index) { setInteger(kBackgroundColourKey, index); }

int LibraryItemBrowserSettings::integer(const QString& suffix) const
{
    return int(defaults().integerForKey(m_root() + suffix));
}

void LibraryItemBrowserSettings::setInteger(const QString& suffix, int value)
{
    defaults().setIntegerForKey(value, m_root() + suffix);
}

bool LibraryItemBrowserSettings::flag(const QString& suffix) const
{
    return defaults().boolForKey(m_root() + suffix);
}

void LibraryItemBrowserSettings::setFlag(const QString& suffix, bool value)
{
    defaults().setBoolForKey(value, m_root() + suffix);
}
