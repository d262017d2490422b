#include "style_editor/panes/shadow/ShadowControls.h"

#include "platform/vantrix/styles/VXShadow.h"
#include "platform/vantrix/styles/VXStyle.h"
#include "style_editor/panes/shadow/VLTMStyleEditSub_NSShadow.h"
#include "style_editor/panes/table/StyleTablePane.h"

#include <QCheckBox>
#include <QVBoxLayout>

namespace {

const QString kShadowKey = QStringLiteral("shadow");

} // namespace

ShadowControls::ShadowControls(StyleTablePane& pane, QWidget* parent)
    : QWidget(parent)
    , m_pane(pane)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_checkbox = new QCheckBox(tr("Shadow"), this);
    connect(m_checkbox, &QCheckBox::clicked, this, &ShadowControls::shadowEnableAction);
    layout->addWidget(m_checkbox);
    m_shadowEditor = new VLTMStyleEditSub_NSShadow(
        [this](const VXShadowPtr& shadow) { m_pane.setCommonValueForKeyPath(QVariant::fromValue(shadow), kShadowKey); },
        this);
    layout->addWidget(m_shadowEditor);
}

void ShadowControls::showShadow(const QVariant& shadow)
{
    const auto shown = shadow.value<VXShadowPtr>();
    m_hasShadow = shown != nullptr;
    m_checkbox->setChecked(m_hasShadow);
    m_shadowEditor->showShadow(shown);
}

void ShadowControls::setControlsEnabled(bool mayEdit)
{
    m_checkbox->setEnabled(mayEdit);
    m_shadowEditor->setShadowControlsEnabled(mayEdit && m_hasShadow);
}

void ShadowControls::shadowEnableAction()
{
    const VXShadowPtr shadow = m_checkbox->isChecked() ? VXStyle::defaultShadow() : nullptr;
    m_pane.setCommonValueForKeyPath(QVariant::fromValue(shadow), kShadowKey);
}
