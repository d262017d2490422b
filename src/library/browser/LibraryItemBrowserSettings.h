#pragma once

// An item browser's settings in the user defaults, each under the root name its delegate
// gives: "<root>_VXLIB_ITEM_VIEW_layoutMode", "..._iconSizing", "..._iconUpscaling" (stored
// true when upscaling is off), "..._lockBadging" and "<root>_bkgColorIndex". Settings never
// stored read as 0 or false.

#include <QString>
#include <functional>

class LibraryItemBrowserSettings {
public:
    // `root` is asked at every read and write: the delegate may come later.
    explicit LibraryItemBrowserSettings(std::function<QString()> root);

    int layoutMode() const;
    void setLayoutMode(int mode);
    int iconSizing() const;
    void setIconSizing(int sizing);
    bool iconsCanBeScaledUp() const;
    void setIconsCanBeScaledUp(bool flag);
    bool showsLockBadging() const;
    void setShowsLockBadging(bool flag);
    int backgroundColourIndex() const;
    void setBackgroundColourIndex(int index);

private:
    int integer(const QString& suffix) const;
    void setInteger(const QString& suffix, int value);
    bool flag(const QString& suffix) const;
    void setFlag(const QString& suffix, bool value);

    std::function<QString()> m_root;
};
