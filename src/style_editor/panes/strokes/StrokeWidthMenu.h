#pragma once

// The menu of common line widths beside a width field: each item is tagged ten times its
// width in points; "Other" (tag -1) stands for any width without an item of its own and,
// chosen, puts the focus in the field. The pane titles the items for its display units with
// initialiseStrokeWidthMenu.

#include <QPointer>
#include <QToolButton>
#include <functional>
#include <QMenu>

class StyleTablePane;
namespace platform {
class MenuItem;
}

class StrokeWidthMenu : public QToolButton {
    Q_OBJECT

public:
    static constexpr int kOtherTag = -1;

    // `chosen` is given the width in points of an item the user picks.
    StrokeWidthMenu(QWidget* field, std::function<void(double)> chosen, QWidget* parent = nullptr);

    // A menu beside the field of the pane's width row, writing the row's key path.
    static StrokeWidthMenu* addToWidthRow(StyleTablePane& pane, const QString& keyPath);

    QMenu* widthMenu() const { return m_menu; }
    // Checks the item tagged floor(10 × width), else "Other" titled with the width.
    void selectWidth(double width);
    platform::MenuItem* selectedItem() const;
    platform::MenuItem* itemWithTag(int tag) const;

private:
    QPointer<QMenu> m_menu;
    QPointer<QWidget> m_field;
};
