#pragma once

// A colour well that is never shown: activating it makes the shared colour panel edit
// whatever its owner ties it to (the gradient control's selected stop), and deactivates the
// other wells. When another well takes the panel over, the owner hears "deactivate".

#include "platform/ui/ColourWell.h"

#include <QPointer>

class VXQProxyColourWell : public platform::ColourWell {
    Q_OBJECT

public:
    explicit VXQProxyColourWell(QWidget* parent = nullptr);

    QObject* delegate() const { return m_delegate; }
    void setDelegate(QObject* delegate) { m_delegate = delegate; }

    void deactivate() override;

private:
    QPointer<QObject> m_delegate;
};
