#pragma once

// The sheet that asks before an item browser deletes items: the message naming them over
// Cancel and Delete (the default), on the browser's window. Whoever began it hears how it
// ended; the sheet and its message are there to look at while it is up.

#include <QPointer>
#include <functional>

class QDialog;
class QLabel;
class QWidget;

class LibraryItemDeleteSheet {
public:
    // `finished` hears the return code; Delete ends with the default return. `guard` is the
    // sheet's owner: nothing is heard once it is gone.
    void begin(QWidget* host, const QString& message, QObject* guard, std::function<void(int)> finished);
    // Ends the sheet that is up, as its buttons do.
    void end(int returnCode);

    QDialog* sheet() const;
    QString text() const;

private:
    QPointer<QDialog> m_sheet;
    QPointer<QLabel> m_text;
};
