#include "platform/foundation/QuorvaneError.h"

QuorvaneError::QuorvaneError(int code, QString description, QVariantMap userInfo, QString domain)
    : m_domain(std::move(domain))
    , m_code(code)
    , m_description(std::move(description))
    , m_userInfo(std::move(userInfo))
{
}
