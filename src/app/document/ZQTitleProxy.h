#pragma once

// A stand-in sender that carries a title: commands that name their undo step after their
// sender's "title" get the name through it when no menu item sent them.

#include "platform/foundation/ZQObject.h"

class ZQTitleProxy : public ZQObject {
    Q_OBJECT
    Q_PROPERTY(QString title READ title WRITE setTitle)

public:
    static std::shared_ptr<ZQTitleProxy> titleProxyWithString(const QString& title);

    QString title() const { return m_title; }
    void setTitle(const QString& title) { m_title = title; }

private:
    QString m_title;
};
