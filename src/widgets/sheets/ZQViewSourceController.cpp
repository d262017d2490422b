#include "widgets/sheets/ZQViewSourceController.h"

#include "platform/foundation/RegularFile.h"
#include "platform/foundation/ZQLog.h"
#include "platform/graphics/FontUtilities.h"
#include "platform/ui/Sheet.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStringDecoder>
#include <QVBoxLayout>

namespace {

constexpr double kSourceMargin = 16.0;

// The file's text, or nullopt with the reason.
std::optional<QString> readSourceText(const QUrl& url, QString* reason)
{
    if (!url.isLocalFile()) {
        *reason = QStringLiteral("it is not a local file");
        return std::nullopt;
    }
    const auto bytes = platform::readRegularFile(url.toLocalFile(), ZQViewSourceController::kMaximumSourceSize, reason);
    if (!bytes)
        return std::nullopt;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(*bytes);
    if (utf8.hasError()) {
        *reason = QStringLiteral("it is not UTF-8 text");
        return std::nullopt;
    }
    return text;
}

} // namespace

const QTextCharFormat& ZQViewSourceController::sourceFormattingAttributes()
{
    static const QTextCharFormat attributes = [] {
        QTextCharFormat format;
        format.setFont(platform::fontWithNameSize(QStringLiteral("Monaco"), 12.0).value_or(QFont()));
        return format;
    }();
    return attributes;
}

void ZQViewSourceController::beginSheetModalForWindowDelegate(QWidget* window, QObject* delegate)
{
    setDelegate(delegate);
    QDialog* dialog = sheet();
    loadTextWithContentsOfURL(loadTextURL());
    platform::Sheet::beginSheetModalForWindowCompletionHandler(dialog, window, {});
}

void ZQViewSourceController::closeAction(QObject*)
{
    platform::Sheet::endSheetReturnCode(sheet(), platform::Sheet::kDefaultReturn);
}

QUrl ZQViewSourceController::loadTextURL()
{
    auto* delegate = dynamic_cast<ZQViewSourceControllerDelegate*>(m_delegateRef.data());
    return delegate ? delegate->urlForViewSourceController(this) : QUrl();
}

void ZQViewSourceController::loadTextWithContentsOfURL(const QUrl& url)
{
    QPlainTextEdit* view = textView();
    QString reason;
    const auto text = url.isEmpty() ? std::optional<QString>(QString()) : readSourceText(url, &reason);
    if (text) {
        view->setPlainText(*text);
        showError({});
    } else {
        const QString name = url.isLocalFile() ? url.toLocalFile() : url.toString();
        ZQLog(QStringLiteral("url could not be loaded, error = %1: %2").arg(name, reason));
        view->clear();
        showError(tr("“%1” cannot be shown: %2.").arg(QFileInfo(name).fileName(), reason));
    }
    view->moveCursor(QTextCursor::Start);
    view->ensureCursorVisible();
    view->horizontalScrollBar()->setValue(0);
}

void ZQViewSourceController::awakeFromInterface()
{
    QPlainTextEdit* view = textView();
    view->setLineWrapMode(QPlainTextEdit::NoWrap);
    view->document()->setDocumentMargin(kSourceMargin);
    view->document()->setDefaultFont(sourceFormattingAttributes().font());
    loadTextWithContentsOfURL(loadTextURL());
}

QPlainTextEdit* ZQViewSourceController::textView()
{
    window();
    return m_textView;
}

QString ZQViewSourceController::loadError()
{
    window();
    return m_errorLabel->isHidden() ? QString() : m_errorLabel->text();
}

QWidget* ZQViewSourceController::loadWindow()
{
    auto* dialog = new QDialog;
    dialog->setWindowTitle(tr("Source"));
    dialog->resize(640, 480);
    auto* layout = new QVBoxLayout(dialog);
    m_errorLabel = new QLabel(dialog);
    m_errorLabel->setWordWrap(true);
    m_errorLabel->hide();
    layout->addWidget(m_errorLabel);
    m_textView = new QPlainTextEdit(dialog);
    m_textView->setReadOnly(true);
    layout->addWidget(m_textView, 1);
    auto* buttons = new QDialogButtonBox(dialog);
    QPushButton* close = buttons->addButton(tr("Close"), QDialogButtonBox::AcceptRole);
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, [this] { closeAction(nullptr); });
    layout->addWidget(buttons);
    return dialog;
}

void ZQViewSourceController::windowDidLoad()
{
    awakeFromInterface();
}

QDialog* ZQViewSourceController::sheet()
{
    return qobject_cast<QDialog*>(window());
}

void ZQViewSourceController::showError(const QString& message)
{
    m_errorLabel->setText(message);
    m_errorLabel->setVisible(!message.isEmpty());
}
