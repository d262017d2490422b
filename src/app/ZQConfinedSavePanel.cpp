#include "app/ZQConfinedSavePanel.h"

#include "platform/foundation/ZQAssert.h"
#include "platform/ui/Sheet.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QLabel>
#include <QPointer>

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

// Whole path components, so that ".../Maps Old" is not inside ".../Maps".
bool isInside(const QString& folder, const QString& path)
{
    const QString resolved = resolvedPath(path);
    if (resolved.isEmpty() || folder.isEmpty())
        return false;
    const QString root = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    return resolved == folder || resolved.startsWith(root);
}

class ConfinedFileDialog : public QFileDialog {
public:
    explicit ConfinedFileDialog(const QString& folder)
        : m_folder(resolvedPath(folder))
        , m_refusal(new QLabel(this))
    {
        setOption(QFileDialog::DontUseNativeDialog);
        setAcceptMode(QFileDialog::AcceptSave);
        setFileMode(QFileDialog::AnyFile);
        setDirectory(m_folder);
        setSidebarUrls({QUrl::fromLocalFile(m_folder)});
        m_refusal->setWordWrap(true);
        m_refusal->hide();
        if (auto* grid = qobject_cast<QGridLayout*>(layout()))
            grid->addWidget(m_refusal, grid->rowCount(), 0, 1, grid->columnCount());
        // Every way of browsing (up, back, the path menu, a typed folder) moves the model's
        // root; the signal comes in the middle of the move, so return afterwards.
        if (auto* model = findChild<QFileSystemModel*>())
            connect(model, &QFileSystemModel::rootPathChanged, this, [this](const QString& directory) {
                if (!isInside(m_folder, directory))
                    setDirectory(m_folder);
            }, Qt::QueuedConnection);
    }

    const QString& folder() const { return m_folder; }

    void accept() override
    {
        const QStringList files = selectedFiles();
        if (files.size() != 1)
            return;
        // The file itself: a link in the folder may lead out of it.
        if (!isInside(m_folder, files.first()))
            return refuse();
        m_refusal->hide();
        QFileDialog::accept();
    }

private:
    void refuse()
    {
        QApplication::beep();
        m_refusal->setText(tr("Files can only be saved in “%1” and the folders inside it.").arg(m_folder));
        m_refusal->show();
    }

    QString m_folder;
    QLabel* m_refusal;
};

} // namespace

struct ZQConfinedSavePanel::State {
    ~State()
    {
        if (dialog && !started)
            delete dialog;
    }

    QPointer<ConfinedFileDialog> dialog;
    QString folder;
    QString extension;
    QUrl chosen;
    bool started = false;
};

ZQConfinedSavePanel::ZQConfinedSavePanel(const QString& folder)
    : d(std::make_shared<State>())
{
    d->dialog = new ConfinedFileDialog(folder);
    d->folder = d->dialog->folder();
}

ZQConfinedSavePanel::~ZQConfinedSavePanel() = default;

QString ZQConfinedSavePanel::folder() const
{
    return d->folder;
}

bool ZQConfinedSavePanel::isInsideFolder(const QString& path) const
{
    return isInside(d->folder, path);
}

void ZQConfinedSavePanel::setTitle(const QString& title)
{
    d->dialog->setWindowTitle(title);
}

void ZQConfinedSavePanel::setNameFieldStringValue(const QString& name)
{
    d->dialog->selectFile(name);
}

QString ZQConfinedSavePanel::allowedFileType() const
{
    return d->extension;
}

void ZQConfinedSavePanel::setAllowedFileType(const QString& extension)
{
    d->extension = extension;
    d->dialog->setNameFilter(extension.isEmpty() ? QString() : QStringLiteral("*.") + extension);
    d->dialog->setDefaultSuffix(extension);
}

void ZQConfinedSavePanel::beginSheetModalForWindowCompletionHandler(QWidget* window, CompletionHandler handler)
{
    ZQ_ASSERT(d->dialog && !d->started, QStringLiteral("a panel runs once"));
    d->started = true;
    // The end handler keeps the shared state alive through its copy of the handle.
    platform::Sheet::beginSheetModalForWindowCompletionHandler(
        d->dialog, window, [panel = *this, handler = std::move(handler)](int code) {
            const int result = code == QDialog::Accepted ? 1 : 0;
            if (result == 1) {
                QString path = panel.d->dialog->selectedFiles().value(0);
                if (!panel.d->extension.isEmpty()
                    && QFileInfo(path).suffix().compare(panel.d->extension, Qt::CaseInsensitive) != 0)
                    path += QLatin1Char('.') + panel.d->extension;
                panel.d->chosen = QUrl::fromLocalFile(path);
            }
            panel.d->dialog->deleteLater();
            if (handler)
                handler(result, panel.d->chosen);
        });
}

QUrl ZQConfinedSavePanel::URL() const
{
    return d->chosen;
}

QFileDialog* ZQConfinedSavePanel::fileDialog() const
{
    return d->dialog;
}
