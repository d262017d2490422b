#include "library/browser/LibraryItemDeleteSheet.h"

#include "platform/ui/Sheet.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kItemsDeleteContext = QStringLiteral("items_delete");

} // namespace

void LibraryItemDeleteSheet::begin(QWidget* host, const QString& message, QObject* guard,
                                   std::function<void(int)> finished)
{
    auto* sheet = new QDialog(host);
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    sheet->setObjectName(kItemsDeleteContext);
    auto* layout = new QVBoxLayout(sheet);
    auto* text = new QLabel(message, sheet);
    text->setWordWrap(true);
    layout->addWidget(text);
    auto* buttons = new QDialogButtonBox(sheet);
    const auto tr = [](const char* text) { return QCoreApplication::translate("VXQLibraryItemViewController", text); };
    QPushButton* cancel = buttons->addButton(tr("Cancel"), QDialogButtonBox::RejectRole);
    QPushButton* ok = buttons->addButton(tr("Delete"), QDialogButtonBox::AcceptRole);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, guard, [this] { end(platform::Sheet::kDefaultReturn); });
    QObject::connect(cancel, &QPushButton::clicked, guard, [this] { end(platform::Sheet::kCancelReturn); });
    layout->addWidget(buttons);
    m_sheet = sheet;
    m_text = text;
    platform::Sheet::beginSheetModalForWindowCompletionHandler(
        sheet, host, [this, guard = QPointer(guard), finished = std::move(finished)](int code) {
            if (!guard)
                return;
            m_sheet = nullptr;
            m_text = nullptr;
            finished(code);
        });
}

void LibraryItemDeleteSheet::end(int returnCode)
{
    platform::Sheet::endSheetReturnCode(m_sheet, returnCode);
}

QDialog* LibraryItemDeleteSheet::sheet() const
{
    return m_sheet;
}

QString LibraryItemDeleteSheet::text() const
{
    return m_text ? m_text->text() : QString();
}
