#include "platform/ui/PackageAwareFileDialog.h"

#include "platform/foundation/RunLoop.h"

#include "platform/ui/Alert.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileIconProvider>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <QPushButton>
#include <QTreeView>
#include <algorithm>

namespace platform {

namespace {

constexpr int kNameColumn = 0;
constexpr int kKindColumn = 2;

} // namespace

// Gives package folders a document's icon and kind; everything else passes through. It keeps
// the extensions itself: the dialog's views still ask it for sizes while the dialog goes.
class PackageDisplayModel : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QStringList packageExtensions() const { return m_packageExtensions; }
    void setPackageExtensions(const QStringList& extensions) { m_packageExtensions = extensions; }
    bool hasPackageExtension(const QString& name) const
    {
        return m_packageExtensions.contains(QFileInfo(name).suffix(), Qt::CaseInsensitive);
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        const bool icon = role == Qt::DecorationRole && index.column() == kNameColumn;
        const bool kind = role == Qt::DisplayRole && index.column() == kKindColumn;
        if (!(icon || kind) || !isPackage(index))
            return QIdentityProxyModel::data(index, role);
        if (icon)
            return m_icons.icon(QAbstractFileIconProvider::File);
        return PackageAwareFileDialog::tr("%1 Document").arg(QFileInfo(fileName(index)).suffix());
    }

private:
    QString fileName(const QModelIndex& index) const { return index.siblingAtColumn(kNameColumn).data().toString(); }

    bool isPackage(const QModelIndex& index) const
    {
        const auto* files = static_cast<const QFileSystemModel*>(sourceModel());
        return files->isDir(mapToSource(index)) && hasPackageExtension(fileName(index));
    }

    QStringList m_packageExtensions;
    QFileIconProvider m_icons;
};

namespace {

// The real path: links are resolved through the part that exists, and the rest is a name
// yet to be made. Empty for a broken link, which could lead anywhere.
QString resolvedPath(const QString& path)
{
    QString existing = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    QString rest;
    while (!QFileInfo::exists(existing) && !QFileInfo(existing).isSymLink()) {
        const qsizetype slash = existing.lastIndexOf(QLatin1Char('/'));
        if (slash <= 0)
            return QDir::cleanPath(existing + rest);
        rest.prepend(existing.mid(slash));
        existing.truncate(slash);
    }
    const QString canonical = QFileInfo(existing).canonicalFilePath();
    return canonical.isEmpty() ? QString() : QDir::cleanPath(canonical + rest);
}

QString quotedNames(const QStringList& names)
{
    if (names.size() == 1)
        return names.first();
    QStringList quoted;
    for (const QString& name : names)
        quoted << QLatin1Char('"') + name + QLatin1Char('"');
    return quoted.join(QLatin1Char(' '));
}

} // namespace

PackageAwareFileDialog::PackageAwareFileDialog(QWidget* parent)
    : QFileDialog(parent)
    , m_display(new PackageDisplayModel(this))
{
    setOption(QFileDialog::DontUseNativeDialog);
    // The proxy brings a new selection model: connect to it afterwards.
    setProxyModel(m_display);
    auto* list = findChild<QListView*>(QStringLiteral("listView"));
    auto* details = findChild<QTreeView*>(QStringLiteral("treeView"));
    for (QAbstractItemView* view : std::initializer_list<QAbstractItemView*>{list, details}) {
        view->installEventFilter(this);
        view->viewport()->installEventFilter(this);
    }
    // Size, kind and date take the room their text needs; the name has the rest.
    QHeaderView* header = details->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setSectionResizeMode(kNameColumn, QHeaderView::Stretch);
    connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &PackageAwareFileDialog::showChosenPackages);
    connect(list->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &PackageAwareFileDialog::relabelAcceptButton);
    connect(findChild<QLineEdit*>(QStringLiteral("fileNameEdit")), &QLineEdit::textChanged, this,
            &PackageAwareFileDialog::relabelAcceptButton);
}

QStringList PackageAwareFileDialog::packageExtensions() const
{
    return m_display->packageExtensions();
}

void PackageAwareFileDialog::setPackageExtensions(const QStringList& extensions)
{
    m_display->setPackageExtensions(extensions);
}

bool PackageAwareFileDialog::hasPackageExtension(const QString& name) const
{
    return m_display->hasPackageExtension(name);
}

bool PackageAwareFileDialog::isPackage(const QString& path) const
{
    return hasPackageExtension(path) && QFileInfo(path).isDir();
}

QString PackageAwareFileDialog::acceptLabel() const
{
    if (!m_acceptLabel.isEmpty())
        return m_acceptLabel;
    return acceptMode() == AcceptOpen ? tr("&Open") : tr("&Save");
}

void PackageAwareFileDialog::setAcceptLabel(const QString& label)
{
    m_acceptLabel = label;
    setLabelText(Accept, label);
}

void PackageAwareFileDialog::setConfiningFolder(const QString& folder)
{
    m_confiningFolder = folder.isEmpty() ? QString() : resolvedPath(folder);
    if (m_confiningFolder.isEmpty())
        return;
    setDirectory(m_confiningFolder);
    setSidebarUrls({QUrl::fromLocalFile(m_confiningFolder)});
    if (!m_confinementRefusal) {
        m_confinementRefusal = new QLabel(this);
        m_confinementRefusal->setWordWrap(true);
        m_confinementRefusal->hide();
        if (auto* grid = qobject_cast<QGridLayout*>(layout()))
            grid->addWidget(m_confinementRefusal, grid->rowCount(), 0, 1, grid->columnCount());
        // Every way of browsing (up, back, the path menu, a typed folder) moves the model's
        // root; the signal comes in the middle of the move, so return afterwards.
        if (auto* model = findChild<QFileSystemModel*>())
            connect(model, &QFileSystemModel::rootPathChanged, this, [this](const QString& directory) {
                RunLoop::runOnMainThread([this, directory] {
                    if (!m_confiningFolder.isEmpty() && !isPathInsideFolder(directory, m_confiningFolder))
                        setDirectory(m_confiningFolder);
                }, this);
            });
    }
}

bool PackageAwareFileDialog::isPathInsideFolder(const QString& path, const QString& folder)
{
    const QString resolved = resolvedPath(path);
    if (resolved.isEmpty() || folder.isEmpty())
        return false;
    // Whole components, so that ".../Maps Old" is not inside ".../Maps".
    const QString root = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    return resolved == folder || resolved.startsWith(root);
}

bool PackageAwareFileDialog::keepsToConfiningFolder(const QStringList& files)
{
    if (m_confiningFolder.isEmpty())
        return true;
    const bool inside = std::all_of(files.begin(), files.end(),
                                    [this](const QString& file) { return isPathInsideFolder(file, m_confiningFolder); });
    if (!inside) {
        QApplication::beep();
        m_confinementRefusal->setText(
            tr("Files can only be saved in “%1” and the folders inside it.").arg(m_confiningFolder));
    }
    m_confinementRefusal->setVisible(!inside);
    return inside;
}

void PackageAwareFileDialog::accept()
{
    const QStringList files = selectedFiles();
    if (!keepsToConfiningFolder(files))
        return;
    if (!choosesPackages(files))
        QFileDialog::accept();
    else if (acceptMode() == AcceptSave && !testOption(DontConfirmOverwrite))
        confirmReplacing(files.first());
    else
        acceptFiles(files);
}

bool PackageAwareFileDialog::eventFilter(QObject* watched, QEvent* event)
{
    // A double-click or Return would enter the folder.
    QModelIndex activated;
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (auto* view = qobject_cast<QAbstractItemView*>(watched->parent()))
            activated = view->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint());
    } else if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (auto* view = qobject_cast<QAbstractItemView*>(watched); view && (key == Qt::Key_Return || key == Qt::Key_Enter))
            activated = view->currentIndex();
    }
    if (activated.isValid() && isPackage(activated.data(QFileSystemModel::FilePathRole).toString())) {
        accept();
        return true;
    }
    return QFileDialog::eventFilter(watched, event);
}

bool PackageAwareFileDialog::choosesPackages(const QStringList& files) const
{
    const auto package = [this](const QString& path) { return isPackage(path); };
    if (fileMode() == Directory || std::none_of(files.begin(), files.end(), package))
        return false;
    if (acceptMode() == AcceptSave)
        return files.size() == 1;
    return std::all_of(files.begin(), files.end(),
                       [&](const QString& path) { return package(path) || QFileInfo(path).isFile(); });
}

void PackageAwareFileDialog::confirmReplacing(const QString& path)
{
    const QFileInfo existing(path);
    Alert alert = Alert::alertWithMessageTextDefaultButtonAlternateButtonOtherButtonInformativeText(
        tr("“%1” already exists. Do you want to replace it?").arg(existing.fileName()), tr("Cancel"), tr("Replace"), {},
        tr("A document with the same name already exists in “%1”. Replacing it will overwrite its current contents.")
            .arg(existing.dir().dirName()));
    const QPointer<PackageAwareFileDialog> self(this);
    alert.beginSheetModalForWindowCompletionHandler(this, [self, path](int code) {
        if (self && code == Alert::kAlternateReturn)
            self->acceptFiles({path});
    });
}

void PackageAwareFileDialog::acceptFiles(const QStringList& files)
{
    QList<QUrl> urls;
    for (const QString& file : files)
        urls << QUrl::fromLocalFile(file);
    if (files.size() == 1) {
        Q_EMIT fileSelected(files.first());
        Q_EMIT urlSelected(urls.first());
    }
    Q_EMIT filesSelected(files);
    Q_EMIT urlsSelected(urls);
    QDialog::accept();
}

void PackageAwareFileDialog::showChosenPackages()
{
    const auto* list = findChild<QListView*>(QStringLiteral("listView"));
    QStringList names;
    bool package = false;
    for (const QModelIndex& row : list->selectionModel()->selectedRows()) {
        const QString path = row.data(QFileSystemModel::FilePathRole).toString();
        package = package || isPackage(path);
        if (isPackage(path) || !QFileInfo(path).isDir())
            names << row.data().toString();
    }
    auto* nameField = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (package && !nameField->hasFocus())
        nameField->setText(quotedNames(names));
    relabelAcceptButton();
}

void PackageAwareFileDialog::relabelAcceptButton()
{
    const auto* buttons = findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    QPushButton* button = buttons->button(acceptMode() == AcceptOpen ? QDialogButtonBox::Open : QDialogButtonBox::Save);
    if (button && choosesPackages(selectedFiles()))
        button->setText(acceptLabel());
}

} // namespace platform
