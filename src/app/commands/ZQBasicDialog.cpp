#include "app/commands/ZQBasicDialog.h"

#include "platform/ui/Sheet.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

ZQBasicDialog::ZQBasicDialog(QWidget* parent)
    : QDialog(parent)
    , m_prompt(new QLabel(this))
    , m_field(new QLineEdit(this))
    , m_buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this))
{
    m_prompt->setWordWrap(true);
    m_field->setMinimumWidth(280);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_prompt);
    layout->addWidget(m_field);
    layout->addWidget(m_buttons);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

QString ZQBasicDialog::promptString() const
{
    return m_prompt->text();
}

void ZQBasicDialog::setPromptString(const QString& prompt)
{
    m_prompt->setText(prompt);
}

QString ZQBasicDialog::stringValue() const
{
    return m_field->text();
}

void ZQBasicDialog::setStringValue(const QString& value)
{
    m_field->setText(value);
    m_field->selectAll();
}

void ZQBasicDialog::setOKButtonTitle(const QString& title)
{
    m_buttons->button(QDialogButtonBox::Ok)->setText(title);
}

void ZQBasicDialog::beginSheetModalForWindowCompletionHandler(QWidget* window, CompletionHandler handler)
{
    m_field->setFocus();
    platform::Sheet::beginSheetModalForWindowCompletionHandler(
        this, window, [this, handler = std::move(handler)](int code) {
            deleteLater();
            if (handler)
                handler(code, stringValue());
        });
}
