#pragma once

// The get-info panel of the library manager: what is known of the item selected in the item
// browser (name, description, kind, size, dates, creator, unique key, library, lock state and
// categories), placeholders for no selection or several items, and the one editable field,
// the description, which is written to every item shown. It follows changes of the items it
// shows.

#include "library/items/VXQLibraryItem.h"
#include "platform/ui/ViewController.h"

#include <QImage>
#include <QPointer>

class QLabel;
class QLineEdit;
namespace platform {
struct Notification;
}

// The panel's texts and images for one item (none: the empty panel).
struct LibraryItemInfoFields {
    QString name, userDescription, createdBy, kind, uniqueKey, where;
    QString creationDate;     // "N/A" without one
    QString modificationDate; // empty without one
    QString size;             // "%.2f x %.2f", "N/A" for a zero size
    QString categories;       // user categories, sorted, one per line; "N/A" without an item
    QImage icon;
    QImage lockIcon;          // "VL_Not_Editable" or "VL_Editable", 16 x 16; none without an item

    static LibraryItemInfoFields forItem(VXQLibraryItem* item);
    // The names of the item's categories other than those every library has, sorted as a
    // file list sorts names ("2 Lanes" before "10 Lanes"), joined with ",\n".
    static QString categoryList(VXQLibraryItem& item);
    static QString formattedDate(const QDateTime& date);
};

class VXQLibraryGetInfoController : public platform::ViewController {
    Q_OBJECT

public:
    VXQLibraryGetInfoController();
    ~VXQLibraryGetInfoController() override;

    QList<VXQLibraryItemPtr> content() const { return m_content; }
    // Shows the items: one in full, none as "No Selection", several as "<Multiple Selection>".
    void setContent(const QList<VXQLibraryItemPtr>& items);
    void setUIForContent();
    void setUIForLibraryItem(VXQLibraryItem* item);

    // Every item shown takes the description field's text.
    Q_INVOKABLE void descriptionAction(QObject* sender);

    // The fields, for the window that lays the panel out and for tests.
    QLabel* imageView();
    QLabel* nameField();
    QLineEdit* descriptionField();
    QLabel* kindField();
    QLabel* sizeField();
    QLabel* creationDateField();
    QLabel* modificationDateField();
    QLabel* createdByField();
    QLabel* uniqueKeyField();
    QLabel* whereField();
    QLabel* lockedIcon();
    QLabel* categoriesListField();

protected:
    QWidget* loadView() override;
    void viewDidLoad() override;

private:
    void libItemChanged(const platform::Notification& notification);

    QList<VXQLibraryItemPtr> m_content;
    QPointer<QLabel> m_imageView;
    QPointer<QLabel> m_nameField;
    QPointer<QLineEdit> m_descriptionField;
    QPointer<QLabel> m_kindField;
    QPointer<QLabel> m_sizeField;
    QPointer<QLabel> m_creationDateField;
    QPointer<QLabel> m_modDateField;
    QPointer<QLabel> m_createdByField;
    QPointer<QLabel> m_uidField;
    QPointer<QLabel> m_whereField;
    QPointer<QLabel> m_lockedIcon;
    QPointer<QLabel> m_categoriesListField;
};
