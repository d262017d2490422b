#include "platform/ui/SavePanel.h"

#include "platform/foundation/ZQAssert.h"
#include "platform/ui/OpenPanel.h"
#include "platform/ui/PackageAwareFileDialog.h"
#include "platform/ui/Sheet.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QPointer>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace platform {

namespace {

// The folder of the last file chosen in any panel; empty until one is.
QString& lastFolderUsed()
{
    static QString folder;
    return folder;
}

// Never the working directory, which is wherever the application happened to be started.
QString startingFolder()
{
    if (const QString& last = lastFolderUsed(); !last.isEmpty() && QFileInfo(last).isDir())
        return last;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

} // namespace

struct SavePanel::State {
    State()
        : dialog(new PackageAwareFileDialog)
    {
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setFileMode(QFileDialog::AnyFile);
        dialog->setDirectory(startingFolder());
        // Message and accessory share one row under the file list.
        extras = new QWidget(dialog);
        auto* layout = new QVBoxLayout(extras);
        layout->setContentsMargins(0, 0, 0, 0);
        messageLabel = new QLabel(extras);
        messageLabel->setWordWrap(true);
        messageLabel->hide();
        layout->addWidget(messageLabel);
        if (auto* grid = qobject_cast<QGridLayout*>(dialog->layout()))
            grid->addWidget(extras, grid->rowCount(), 0, 1, grid->columnCount());
    }

    ~State()
    {
        if (dialog && !started)
            delete dialog;
    }

    QPointer<PackageAwareFileDialog> dialog;
    QWidget* extras = nullptr;
    QLabel* messageLabel = nullptr;
    QPointer<QWidget> accessory;
    QString prompt;
    QString nameFieldLabel;
    QString nameFieldStringValue;
    QStringList allowedFileTypes;
    bool canCreateDirectories = true;
    bool canChooseFiles = true;
    bool canChooseDirectories = false;
    bool allowsMultipleSelection = false;
    bool started = false;
    QList<QUrl> chosen;
};

SavePanel::SavePanel()
    : d(std::make_shared<State>())
{
}

SavePanel::~SavePanel() = default;

QString SavePanel::title() const
{
    return d->dialog ? d->dialog->windowTitle() : QString();
}

void SavePanel::setTitle(const QString& title)
{
    d->dialog->setWindowTitle(title);
}

QString SavePanel::message() const
{
    return d->dialog ? d->messageLabel->text() : QString();
}

void SavePanel::setMessage(const QString& message)
{
    d->messageLabel->setText(message);
    d->messageLabel->setVisible(!message.isEmpty());
}

QString SavePanel::prompt() const
{
    return d->prompt;
}

void SavePanel::setPrompt(const QString& prompt)
{
    d->prompt = prompt;
    d->dialog->setAcceptLabel(prompt);
}

QString SavePanel::nameFieldLabel() const
{
    return d->nameFieldLabel;
}

void SavePanel::setNameFieldLabel(const QString& label)
{
    d->nameFieldLabel = label;
    d->dialog->setLabelText(QFileDialog::FileName, label);
}

QString SavePanel::nameFieldStringValue() const
{
    return d->chosen.isEmpty() ? d->nameFieldStringValue : QFileInfo(d->chosen.first().toLocalFile()).fileName();
}

void SavePanel::setNameFieldStringValue(const QString& name)
{
    d->nameFieldStringValue = name;
    d->dialog->selectFile(name);
}

QUrl SavePanel::directoryURL() const
{
    return d->dialog ? d->dialog->directoryUrl() : QUrl();
}

void SavePanel::setDirectoryURL(const QUrl& url)
{
    d->dialog->setDirectoryUrl(url);
}

QStringList SavePanel::allowedFileTypes() const
{
    return d->allowedFileTypes;
}

void SavePanel::setAllowedFileTypes(const QStringList& extensions)
{
    d->allowedFileTypes = extensions;
    QStringList patterns;
    for (const QString& extension : extensions)
        patterns << QStringLiteral("*.") + extension;
    d->dialog->setNameFilter(patterns.isEmpty() ? QString() : patterns.join(QLatin1Char(' ')));
    d->dialog->setDefaultSuffix(extensions.value(0));
}

void SavePanel::setFileTypeFilters(const QList<FileTypeFilter>& filters)
{
    QStringList named;
    for (const FileTypeFilter& filter : filters) {
        QStringList patterns;
        for (const QString& extension : filter.extensions)
            patterns << QStringLiteral("*.") + extension;
        named << QStringLiteral("%1 (%2)").arg(filter.name, patterns.isEmpty() ? QStringLiteral("*") : patterns.join(' '));
    }
    d->dialog->setNameFilters(named);
}

QStringList SavePanel::packageFileTypes() const
{
    return d->dialog ? d->dialog->packageExtensions() : QStringList();
}

void SavePanel::setPackageFileTypes(const QStringList& extensions)
{
    d->dialog->setPackageExtensions(extensions);
}

QString SavePanel::confiningFolder() const
{
    return d->dialog ? d->dialog->confiningFolder() : QString();
}

void SavePanel::setConfiningFolder(const QString& folder)
{
    d->dialog->setConfiningFolder(folder);
}

bool SavePanel::canCreateDirectories() const
{
    return d->canCreateDirectories;
}

void SavePanel::setCanCreateDirectories(bool flag)
{
    d->canCreateDirectories = flag;
    // The read-only dialog offers no "New Folder" (nor renaming or deleting).
    d->dialog->setOption(QFileDialog::ReadOnly, !flag);
}

bool SavePanel::showsHiddenFiles() const
{
    return d->dialog && (d->dialog->filter() & QDir::Hidden);
}

void SavePanel::setShowsHiddenFiles(bool flag)
{
    QDir::Filters filter = d->dialog->filter();
    d->dialog->setFilter(flag ? filter | QDir::Hidden : filter & ~QDir::Hidden);
}

QWidget* SavePanel::accessoryView() const
{
    return d->accessory;
}

void SavePanel::setAccessoryView(QWidget* view)
{
    if (view == d->accessory)
        return;
    delete d->accessory;
    d->accessory = view;
    if (view)
        d->extras->layout()->addWidget(view);
}

QUrl SavePanel::URL() const
{
    return d->chosen.value(0);
}

int SavePanel::runModal()
{
    ZQ_ASSERT(d->dialog && !d->started, QStringLiteral("a panel runs once"));
    d->started = true;
    const int result = d->dialog->exec() == QDialog::Accepted ? 1 : 0;
    finish(result);
    return result;
}

void SavePanel::beginSheetModalForWindowCompletionHandler(QWidget* window, CompletionHandler handler)
{
    if (!ZQ_EXPECT(d->dialog && !d->started, QStringLiteral("a panel runs once")))
        return;
    d->started = true;
    // The handler holds a copy of this handle, which keeps the panel's state alive.
    Sheet::beginSheetModalForWindowCompletionHandler(d->dialog, window,
                                                     [panel = *this, handler = std::move(handler)](int code) mutable {
        const int result = code == QDialog::Accepted ? 1 : 0;
        panel.finish(result);
        if (handler)
            handler(result);
    });
}

QFileDialog* SavePanel::fileDialog() const
{
    return d->dialog;
}

QList<QUrl> SavePanel::chosenURLs() const
{
    const QList<QUrl> selected = d->dialog->selectedUrls();
    if (selected.isEmpty() || d->dialog->acceptMode() == QFileDialog::AcceptOpen)
        return selected;
    QString path = selected.first().toLocalFile();
    const QString suffix = QFileInfo(path).suffix();
    const bool allowed = d->allowedFileTypes.isEmpty()
                         || d->allowedFileTypes.contains(suffix, Qt::CaseInsensitive);
    if (!allowed)
        path += QLatin1Char('.') + d->allowedFileTypes.first();
    return {QUrl::fromLocalFile(path)};
}

void SavePanel::finish(int result)
{
    if (!d->dialog)
        return;
    if (result == 1)
        d->chosen = chosenURLs();
    if (!d->chosen.isEmpty())
        lastFolderUsed() = QFileInfo(d->chosen.first().toLocalFile()).absolutePath();
    d->dialog->deleteLater();
}

// --- Open panel --------------------------------------------------------------------------

OpenPanel::OpenPanel()
{
    d->dialog->setAcceptMode(QFileDialog::AcceptOpen);
    d->dialog->setOption(QFileDialog::ReadOnly);
    d->canCreateDirectories = false;
    updateFileMode();
}

bool OpenPanel::canChooseFiles() const
{
    return d->canChooseFiles;
}

void OpenPanel::setCanChooseFiles(bool flag)
{
    d->canChooseFiles = flag;
    updateFileMode();
}

bool OpenPanel::canChooseDirectories() const
{
    return d->canChooseDirectories;
}

void OpenPanel::setCanChooseDirectories(bool flag)
{
    d->canChooseDirectories = flag;
    updateFileMode();
}

bool OpenPanel::allowsMultipleSelection() const
{
    return d->allowsMultipleSelection;
}

void OpenPanel::setAllowsMultipleSelection(bool flag)
{
    d->allowsMultipleSelection = flag;
    updateFileMode();
}

QList<QUrl> OpenPanel::URLs() const
{
    return d->chosen;
}

void OpenPanel::updateFileMode()
{
    if (!d->canChooseFiles && d->canChooseDirectories) {
        d->dialog->setFileMode(QFileDialog::Directory);
        d->dialog->setOption(QFileDialog::ShowDirsOnly);
    } else {
        d->dialog->setFileMode(d->allowsMultipleSelection ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
        d->dialog->setOption(QFileDialog::ShowDirsOnly, false);
    }
}

} // namespace platform
