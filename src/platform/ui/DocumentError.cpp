#include "platform/ui/DocumentError.h"

#include <QFileInfo>

namespace platform {

namespace {

QuorvaneError restated(const QString& description, const QString& key, const QuorvaneError& cause)
{
    // A reader that failed without saying why still failed.
    if (!cause.isError())
        return QuorvaneError(kQuorvaneDocumentError, description);
    const QString reason = DocumentError::failureReason(cause);
    QVariantMap userInfo = cause.userInfo();
    userInfo.insert(key, reason.isEmpty() ? cause.localizedDescription() : reason);
    return QuorvaneError(cause.code(), description, userInfo, cause.domain());
}

QString fileName(const QUrl& url)
{
    return QFileInfo(url.toLocalFile()).fileName();
}

} // namespace

QuorvaneError DocumentError::couldNotOpen(const QUrl& url, const QuorvaneError& cause)
{
    return restated(QObject::tr("The document “%1” could not be opened.").arg(fileName(url)), kReadFailureReasonKey,
                    cause);
}

QuorvaneError DocumentError::couldNotSave(const QUrl& url, const QuorvaneError& cause)
{
    return restated(QObject::tr("The document “%1” could not be saved.").arg(fileName(url)), kWriteFailureReasonKey,
                    cause);
}

QString DocumentError::failureReason(const QuorvaneError& error)
{
    const QString reason = error.userInfo().value(kReadFailureReasonKey).toString();
    return reason.isEmpty() ? error.userInfo().value(kWriteFailureReasonKey).toString() : reason;
}

} // namespace platform
