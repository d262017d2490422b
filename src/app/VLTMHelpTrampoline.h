#pragma once

// Opens the help page bound to an identifier ("Index_Grid", "border-layer"...). There is no
// help viewer yet: a request is logged with its identifier, so it can be traced.

#include <QObject>
#include <QString>

class VLTMHelpTrampoline : public QObject {
    Q_OBJECT

public:
    static VLTMHelpTrampoline* sharedHelpTrampoline();

    void showHelpForIdentifier(const QString& identifier);

private:
    VLTMHelpTrampoline() = default;
};
