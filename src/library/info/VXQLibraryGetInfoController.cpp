#include "library/info/VXQLibraryGetInfoController.h"

#include "app/utilities/StringUtilities.h"
#include "library/categories/VXQLibrarySmartCategory.h"
#include "library/store/VXQLibrary.h"
#include "library/tree/VXQLibraryElementContainer.h"
#include "platform/foundation/NotificationCenter.h"
#include "widgets/paint/KitImage.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPixmap>
#include <algorithm>

namespace {

QString notApplicable()
{
    return QObject::tr("N/A");
}

QImage lockImage(bool locked)
{
    const QString name = locked ? QStringLiteral("VL_Not_Editable") : QStringLiteral("VL_Editable");
    return imageNamed(name).imageOfSize(QSizeF(16, 16), 2.0);
}

QLabel* makeValueLabel()
{
    auto* label = new QLabel;
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

void showImage(QLabel* label, const QImage& image)
{
    label->setPixmap(image.isNull() ? QPixmap() : QPixmap::fromImage(image));
}

} // namespace

// --- Fields -----------------------------------------------------------------------------------

LibraryItemInfoFields LibraryItemInfoFields::forItem(VXQLibraryItem* item)
{
    LibraryItemInfoFields fields;
    fields.creationDate = notApplicable();
    fields.size = notApplicable();
    fields.categories = notApplicable();
    if (!item)
        return fields;
    fields.name = item->name();
    fields.userDescription = item->userDescription();
    fields.createdBy = item->createdBy();
    fields.kind = item->kind();
    fields.uniqueKey = item->uniqueKey();
    fields.where = item->library() ? item->library()->name() : QString();
    fields.icon = item->icon();
    if (const QDateTime created = item->creationDate(); created.isValid())
        fields.creationDate = formattedDate(created);
    fields.modificationDate = formattedDate(item->lastModificationDate());
    if (const QSizeF size = item->originalSize(); !size.isNull())
        fields.size = QString::asprintf("%.2f x %.2f", size.width(), size.height());
    fields.lockIcon = lockImage(item->locked());
    fields.categories = categoryList(*item);
    return fields;
}

QString LibraryItemInfoFields::categoryList(VXQLibraryItem& item)
{
    const QList<VXQLibraryCategory*> standard = item.library() ? item.library()->standardCategories()
                                                               : QList<VXQLibraryCategory*>();
    QStringList names;
    const auto isStandard = [&standard](VXQLibraryCategory* category) {
        // The built-in smart categories (All Styles, All Clip Art) are in every library too.
        const auto* smart = qobject_cast<VXQLibrarySmartCategory*>(category);
        return standard.contains(category) || (smart && !smart->predicateEditable());
    };
    for (VXQLibraryCategory* category : item.categories())
        if (!isStandard(category))
            names.append(category->name());
    std::sort(names.begin(), names.end(),
              [](const QString& a, const QString& b) { return localisedCaseInsensitiveNumericCompare(a, b) < 0; });
    return names.join(QStringLiteral(",\n"));
}

QString LibraryItemInfoFields::formattedDate(const QDateTime& date)
{
    return date.isValid() ? QLocale().toString(date.toLocalTime(), QLocale::ShortFormat) : QString();
}

// --- Panel ------------------------------------------------------------------------------------

VXQLibraryGetInfoController::VXQLibraryGetInfoController() = default;

VXQLibraryGetInfoController::~VXQLibraryGetInfoController()
{
    platform::NotificationCenter::defaultCenter().removeObserver(this);
}

QWidget* VXQLibraryGetInfoController::loadView()
{
    auto* panel = new QWidget;
    auto* form = new QFormLayout(panel);
    form->setLabelAlignment(Qt::AlignRight);

    m_imageView = new QLabel;
    m_imageView->setFixedSize(64, 64);
    m_imageView->setAlignment(Qt::AlignCenter);
    m_imageView->setScaledContents(false);
    m_nameField = makeValueLabel();
    m_lockedIcon = new QLabel;
    m_lockedIcon->setFixedSize(16, 16);
    auto* header = new QHBoxLayout;
    header->addWidget(m_imageView);
    header->addWidget(m_nameField, 1);
    header->addWidget(m_lockedIcon);
    form->addRow(header);

    m_descriptionField = new QLineEdit;
    connect(m_descriptionField, &QLineEdit::editingFinished, this, [this] { descriptionAction(m_descriptionField); });
    form->addRow(tr("Description:"), m_descriptionField);
    form->addRow(tr("Kind:"), m_kindField = makeValueLabel());
    form->addRow(tr("Size:"), m_sizeField = makeValueLabel());
    form->addRow(tr("Created:"), m_creationDateField = makeValueLabel());
    form->addRow(tr("Modified:"), m_modDateField = makeValueLabel());
    form->addRow(tr("Created by:"), m_createdByField = makeValueLabel());
    form->addRow(tr("ID:"), m_uidField = makeValueLabel());
    form->addRow(tr("Where:"), m_whereField = makeValueLabel());
    m_categoriesListField = makeValueLabel();
    m_categoriesListField->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    form->addRow(tr("Categories:"), m_categoriesListField);
    return panel;
}

void VXQLibraryGetInfoController::viewDidLoad()
{
    auto& center = platform::NotificationCenter::defaultCenter();
    for (const QString& name : {kVXQLibraryObjectInternallyUpdated, kVXQLibraryObjectImageUpdated})
        center.addObserver(this, name, nullptr, [this](const platform::Notification& n) { libItemChanged(n); });
    setUIForContent();
}

void VXQLibraryGetInfoController::setContent(const QList<VXQLibraryItemPtr>& items)
{
    m_content = items;
    setUIForContent();
}

void VXQLibraryGetInfoController::setUIForContent()
{
    view();
    if (m_content.size() == 1) {
        setUIForLibraryItem(m_content.first().get());
        return;
    }
    setUIForLibraryItem(nullptr);
    m_nameField->setText(m_content.isEmpty() ? tr("No Selection") : tr("<Multiple Selection>"));
}

void VXQLibraryGetInfoController::setUIForLibraryItem(VXQLibraryItem* item)
{
    view();
    const LibraryItemInfoFields fields = LibraryItemInfoFields::forItem(item);
    m_nameField->setText(fields.name);
    // A field being typed in keeps what the user typed.
    if (!m_descriptionField->hasFocus() || !m_descriptionField->isModified())
        m_descriptionField->setText(fields.userDescription);
    m_descriptionField->setEnabled(!m_content.isEmpty());
    m_createdByField->setText(fields.createdBy);
    m_kindField->setText(fields.kind);
    m_uidField->setText(fields.uniqueKey);
    m_whereField->setText(fields.where);
    showImage(m_imageView, fields.icon.isNull() ? QImage() : fields.icon.scaled(64, 64, Qt::KeepAspectRatio,
                                                                                  Qt::SmoothTransformation));
    m_creationDateField->setText(fields.creationDate);
    m_modDateField->setText(fields.modificationDate);
    m_sizeField->setText(fields.size);
    showImage(m_lockedIcon, fields.lockIcon);
    m_categoriesListField->setText(fields.categories);
}

void VXQLibraryGetInfoController::descriptionAction(QObject* sender)
{
    const auto* field = qobject_cast<QLineEdit*>(sender);
    if (!field)
        return;
    const QString text = field->text();
    for (const VXQLibraryItemPtr& item : m_content)
        if (item->userDescription() != text)
            item->setUserDescription(text);
    m_descriptionField->setModified(false);
}

void VXQLibraryGetInfoController::libItemChanged(const platform::Notification& notification)
{
    const QObject* sender = notification.object();
    if (std::any_of(m_content.begin(), m_content.end(),
                    [sender](const VXQLibraryItemPtr& item) { return item.get() == sender; }))
        setUIForContent();
}

QLabel* VXQLibraryGetInfoController::imageView() { view(); return m_imageView; }
QLabel* VXQLibraryGetInfoController::nameField() { view(); return m_nameField; }
QLineEdit* VXQLibraryGetInfoController::descriptionField() { view(); return m_descriptionField; }
QLabel* VXQLibraryGetInfoController::kindField() { view(); return m_kindField; }
QLabel* VXQLibraryGetInfoController::sizeField() { view(); return m_sizeField; }
QLabel* VXQLibraryGetInfoController::creationDateField() { view(); return m_creationDateField; }
QLabel* VXQLibraryGetInfoController::modificationDateField() { view(); return m_modDateField; }
QLabel* VXQLibraryGetInfoController::createdByField() { view(); return m_createdByField; }
QLabel* VXQLibraryGetInfoController::uniqueKeyField() { view(); return m_uidField; }
QLabel* VXQLibraryGetInfoController::whereField() { view(); return m_whereField; }
QLabel* VXQLibraryGetInfoController::lockedIcon() { view(); return m_lockedIcon; }
QLabel* VXQLibraryGetInfoController::categoriesListField() { view(); return m_categoriesListField; }
