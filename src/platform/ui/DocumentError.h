#pragma once

// Failures to open or save a document, told as the user reads them: the description names
// the file ("The document “Coast.qvnl” could not be opened.") and the reason the reader or
// writer gave travels in the user info, under kReadFailureReasonKey when reading and
// kWriteFailureReasonKey when writing. Alerts show that reason as their informative text.

#include "platform/foundation/QuorvaneError.h"

#include <QUrl>

namespace platform {

inline const QString kReadFailureReasonKey = QStringLiteral("VXOriginalException");
inline const QString kWriteFailureReasonKey = QStringLiteral("exception");

// Work the user stopped failed, but on purpose: presenting such an error shows nothing.
inline constexpr int kUserCancelledErrorCode = 103;

class DocumentError {
public:
    // `cause` restated: its domain, code and user info, the file named in the description,
    // and the cause's reason (lacking one, its description) under the operation's key; an
    // empty cause gives error 101 without a reason. Restating a restated error changes nothing.
    static QuorvaneError couldNotOpen(const QUrl& url, const QuorvaneError& cause);
    static QuorvaneError couldNotSave(const QUrl& url, const QuorvaneError& cause);

    // The reason under either key; empty when the error gives none.
    static QString failureReason(const QuorvaneError& error);

    static bool isUserCancelled(const QuorvaneError& error)
    {
        return error.domain() == kQuorvaneErrorDomain && error.code() == kUserCancelledErrorCode;
    }
};

} // namespace platform
