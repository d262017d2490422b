#pragma once

// Whether an item browser's menu command may run now, and the check mark it shows: deleting
// and renaming need unlocked items of a library that takes changes, revealing one item of a
// library on disk; the layout marks the present mode; the icon options (sizes, scaling, lock
// badges, background) apply in icon mode and mark the present choice; sorting is marked with the present order unless the delegate
// forbids resorting; locking shows mixed for a mixed selection. Other commands run when the
// browser has them.

namespace platform {
class MenuItem;
}
class VXQLibraryItemViewController;

namespace librarybrowser {

bool validateMenuItem(VXQLibraryItemViewController& browser, platform::MenuItem& item);

} // namespace librarybrowser
