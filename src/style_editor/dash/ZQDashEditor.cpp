#include "style_editor/dash/ZQDashEditor.h"

#include "style_editor/dash/ZQDashEditView.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

ZQDashEditor::ZQDashEditor()
{
    m_window = new QDialog;
    m_window->setWindowTitle(tr("Edit Dash"));
    auto* layout = new QVBoxLayout(m_window);
    m_preview = new ZQDashEditView(m_window);
    m_preview->dashChanged = [this] {
        setDashCount(m_dash ? m_dash->count() : 2);
        dashChanged();
    };
    m_preview->drawBackgroundForDashStroke = [this](QPainter& painter, platform::BezierPath& path) {
        if (m_delegate)
            m_delegate->drawBackgroundForDashStroke(painter, path);
    };
    layout->addWidget(m_preview);

    auto* grid = new QGridLayout;
    for (int pair = 0; pair < kFieldCount / 2; ++pair) {
        grid->addWidget(new QLabel(tr("Mark %1").arg(pair + 1)), 0, pair * 2);
        grid->addWidget(new QLabel(tr("Space %1").arg(pair + 1)), 0, pair * 2 + 1);
        for (int part = 0; part < 2; ++part) {
            auto* field = new QLineEdit(m_window);
            field->setMaximumWidth(56);
            connect(field, &QLineEdit::editingFinished, this, &ZQDashEditor::dashValueAction);
            grid->addWidget(field, 1, pair * 2 + part);
            m_fields[pair * 2 + part] = field;
        }
    }
    layout->addLayout(grid);

    auto* countRow = new QHBoxLayout;
    countRow->addWidget(new QLabel(tr("Elements:")));
    m_countButtons = new QButtonGroup(m_window);
    for (int column = 0; column < 4; ++column) {
        auto* button = new QToolButton(m_window);
        button->setText(QString::number(2 * column + 2));
        button->setCheckable(true);
        m_countButtons->addButton(button, column);
        countRow->addWidget(button);
    }
    connect(m_countButtons, &QButtonGroup::idClicked, this, &ZQDashEditor::dashCountMatrixAction);
    m_scaleCheckbox = new QCheckBox(tr("Scale with line width"), m_window);
    connect(m_scaleCheckbox, &QCheckBox::clicked, this, &ZQDashEditor::dashScaleCheckboxAction);
    countRow->addStretch();
    countRow->addWidget(m_scaleCheckbox);
    layout->addLayout(countRow);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, m_window);
    QPushButton* add = buttons->addButton(tr("Add to Dashes"), QDialogButtonBox::ActionRole);
    connect(add, &QPushButton::clicked, this, &ZQDashEditor::registerDashAction);
    connect(buttons, &QDialogButtonBox::accepted, this, &ZQDashEditor::ok);
    connect(buttons, &QDialogButtonBox::rejected, this, &ZQDashEditor::cancel);
    layout->addWidget(buttons);
}

ZQDashEditor::~ZQDashEditor()
{
    delete m_window;
}

void ZQDashEditor::setDash(const VXStrokeDashPtr& dash)
{
    m_originalDash = dash;
    if (m_dash)
        m_dash->setIsBeingEdited(false);
    m_dash = dash ? std::static_pointer_cast<VXStrokeDash>(dash->copy()) : nullptr;
    if (m_dash)
        m_dash->setIsBeingEdited(true);
    updateControls();
}

void ZQDashEditor::updateControls()
{
    m_preview->setDash(m_dash);
    if (!m_dash)
        return;
    setDashCount(m_dash->count());
    m_scaleCheckbox->setChecked(m_dash->scalesToLineWidth());
}

void ZQDashEditor::openDashEditorInParentWindowDelegate(QWidget* parent, ZQDashEditorDelegate* delegate)
{
    if (!m_dash)
        setDash(VXStrokeDash::defaultDash());
    m_delegate = delegate;
    m_window->setParent(parent ? parent->window() : nullptr, Qt::Sheet);
    m_window->setWindowModality(Qt::WindowModal);
    m_window->open();
    dashChanged();
}

void ZQDashEditor::setLineWidth(double width) { m_preview->setLineWidth(width); }
void ZQDashEditor::setLineCapStyle(int style) { m_preview->setLineCapStyle(style); }
void ZQDashEditor::setLineJoinStyle(int style) { m_preview->setLineJoinStyle(style); }
void ZQDashEditor::setLineColour(const QColor& colour) { m_preview->setLineColour(colour); }

void ZQDashEditor::setDashCount(int count)
{
    if (!m_dash)
        return;
    count = std::clamp(count, 0, kFieldCount);
    QList<double> lengths(kFieldCount, 1.0);
    const QList<double> pattern = m_dash->dashPattern();
    std::copy_n(pattern.begin(), std::min<qsizetype>(pattern.size(), kFieldCount), lengths.begin());
    if (pattern.size() != count)
        m_dash->setDashPattern(lengths.first(count));
    for (int i = 0; i < kFieldCount; ++i) {
        m_fields[i]->setText(i < count ? QLocale::c().toString(lengths[i], 'g', 6) : QString());
        m_fields[i]->setEnabled(i < count);
    }
    if (QAbstractButton* button = m_countButtons->button(std::max(count - 1, 0) / 2))
        button->setChecked(true);
    m_preview->update();
}

void ZQDashEditor::dashChanged()
{
    if (m_delegate)
        m_delegate->dashDidChange(*this);
    m_preview->update();
}

void ZQDashEditor::dashValueAction()
{
    if (!m_dash)
        return;
    QList<double> pattern;
    for (int i = 0; i < m_dash->count(); ++i) {
        bool ok = false;
        const double length = QLocale::c().toDouble(m_fields[i]->text().trimmed(), &ok);
        // Text that is no length counts as nothing.
        pattern.append(ok && std::isfinite(length) ? length : 0.0);
    }
    m_dash->setDashPattern(pattern);
    dashChanged();
}

void ZQDashEditor::dashScaleCheckboxAction()
{
    if (!m_dash)
        return;
    m_dash->setScalesToLineWidth(m_scaleCheckbox->isChecked());
    dashChanged();
}

void ZQDashEditor::dashCountMatrixAction(int column)
{
    setDashCount(2 * column + 2);
    dashChanged();
}

void ZQDashEditor::registerDashAction()
{
    if (!m_dash)
        return;
    const auto candidate = std::static_pointer_cast<VXStrokeDash>(m_dash->copy());
    candidate->setIsBeingEdited(false);
    if (VXStrokeDash::registerDashWithName(*candidate) && m_delegate)
        m_delegate->dashEditorDidRegisterDash(*this, candidate);
}

void ZQDashEditor::ok()
{
    // A field still being typed in counts.
    if (QWidget* focus = m_window->focusWidget(); qobject_cast<QLineEdit*>(focus))
        dashValueAction();
    sheetDidEnd(1);
}

void ZQDashEditor::cancel()
{
    sheetDidEnd(0);
}

void ZQDashEditor::sheetDidEnd(int code)
{
    m_window->hide();
    if (m_dash)
        m_dash->setIsBeingEdited(false);
    if (code == 0)
        m_dash = m_originalDash;
    if (m_delegate)
        m_delegate->dashDidChange(*this);
    m_delegate = nullptr;
    m_dash = nullptr;
    m_originalDash = nullptr;
}
