#include "style_editor/panes/text/VLTMStyleEditSub_VXTextAdornment.h"

#include "app/sidebar/VLTMObjectControllerDataSource.h"
#include "platform/foundation/Markers.h"
#include "platform/vantrix/styles/VXClipping.h"
#include "platform/vantrix/text/VXTextAdornment.h"

#include <QFormLayout>

namespace {

VLTMStyleEditSub_VXTextAdornment::TextControllerFactory& textControllerFactory()
{
    static VLTMStyleEditSub_VXTextAdornment::TextControllerFactory factory;
    return factory;
}

} // namespace

// Feeds the embedded text pane the adornment this pane edits, and nothing to anyone else.
class VLTMStyleEditSub_VXTextAdornment::TextControllerSource : public QObject, public VLTMObjectControllerDataSource {
public:
    explicit TextControllerSource(VLTMStyleEditSub_VXTextAdornment& pane)
        : m_pane(pane)
    {
    }
    QList<ZQObjectPtr> selectedContentForObjectController(VLTMGenericObjectController* controller) override
    {
        return controller == m_pane.m_textController.get() ? m_pane.content() : QList<ZQObjectPtr>{};
    }
    ZQUndoManager* undoManager() const override { return m_pane.dataSourceUndoManager(); }

private:
    VLTMStyleEditSub_VXTextAdornment& m_pane;
};

const QStringList& VLTMStyleEditSub_VXTextAdornment::standardTags()
{
    static const QStringList tags{QStringLiteral("%%NAME"), QStringLiteral("%%ROUTE_NUM"), QStringLiteral("%%BUS_ROUTE"),
                                  QStringLiteral("%%QVNL_SEQUENCE_NUMBER"), QStringLiteral("%%QVNL_SEQUENCE_CARD")};
    return tags;
}

int VLTMStyleEditSub_VXTextAdornment::standardTagForString(const QString& string)
{
    if (string.size() < 2 || !string.startsWith(QLatin1String("%%")))
        return kNoStandardTag;
    const int index = int(standardTags().indexOf(string.toUpper()));
    return index < 0 ? kNoStandardTag : index + 1;
}

void VLTMStyleEditSub_VXTextAdornment::setTextControllerFactory(TextControllerFactory factory)
{
    textControllerFactory() = std::move(factory);
}

VLTMStyleEditSub_VXTextAdornment::VLTMStyleEditSub_VXTextAdornment()
    : m_textSource(std::make_unique<TextControllerSource>(*this))
{
}

VLTMStyleEditSub_VXTextAdornment::~VLTMStyleEditSub_VXTextAdornment()
{
    if (m_textController)
        m_textController->setDataSource(nullptr);
}

const QMetaObject* VLTMStyleEditSub_VXTextAdornment::managedObjectClass() const
{
    return &VXTextAdornment::staticMetaObject;
}

StylePaneTable VLTMStyleEditSub_VXTextAdornment::table() const
{
    return {
        StylePaneRow::number(QStringLiteral("angleInDegrees"), tr("Angle"), -180, 180, 5),
        StylePaneRow::checkbox(QStringLiteral("clipping"), tr("Clip to Path"), kVXClipInsidePath, kVXNoClipping)
            .checkedForAnyValueButUnchecked(),
    };
}

void VLTMStyleEditSub_VXTextAdornment::addCustomControls(QFormLayout& form)
{
    m_stringField = new QLineEdit;
    connect(m_stringField, &QLineEdit::editingFinished, this, [this] { stringFieldAction(m_stringField); });
    form.insertRow(0, tr("Text"), m_stringField);

    m_standardTags = new QComboBox;
    m_standardTags->addItem(tr("Other Text"), kNoStandardTag);
    const QStringList titles{tr("Name"), tr("Route Number"), tr("Bus Route"), tr("Sequence Number"), tr("Sequence Card")};
    for (int tag = 1; tag <= int(titles.size()); ++tag)
        m_standardTags->addItem(titles[tag - 1], tag);
    connect(m_standardTags, &QComboBox::activated, this, [this] { standardTagAction(m_standardTags); });
    form.insertRow(1, tr("Standard Tags"), m_standardTags);

    if (const TextControllerFactory& factory = textControllerFactory()) {
        m_textController = factory();
        m_textController->setDataSource(m_textSource.get());
        form.addRow(m_textController->view());
    }
}

void VLTMStyleEditSub_VXTextAdornment::setString(const QVariant& string)
{
    view();
    const QString text = platform::isNull(string) ? QString() : string.toString();
    if (m_stringField->text() != text)
        m_stringField->setText(text);
    m_standardTags->setCurrentIndex(m_standardTags->findData(standardTagForString(text)));
}

void VLTMStyleEditSub_VXTextAdornment::setMixedValueForString()
{
    view();
    m_stringField->clear();
    m_standardTags->setCurrentIndex(m_standardTags->findData(kNoStandardTag));
}

void VLTMStyleEditSub_VXTextAdornment::stringFieldAction(QObject*)
{
    // An emptied field is a text too: the label becomes empty.
    if (m_stringField->text() != commonValueForKeyPath(QStringLiteral("string")).toString())
        setCommonValueForKeyPath(m_stringField->text(), QStringLiteral("label"));
}

void VLTMStyleEditSub_VXTextAdornment::standardTagAction(QObject*)
{
    const int tag = m_standardTags->currentData().toInt();
    if (tag >= 1 && tag <= int(standardTags().size()))
        setCommonValueForKeyPath(standardTags().at(tag - 1), QStringLiteral("label"));
}

void VLTMStyleEditSub_VXTextAdornment::setCustomStates(bool mayEdit)
{
    m_stringField->setEnabled(mayEdit);
    m_standardTags->setEnabled(mayEdit);
}

void VLTMStyleEditSub_VXTextAdornment::setStatesForLockEnabled(bool locked, bool enabled)
{
    StyleTablePane::setStatesForLockEnabled(locked, enabled);
    if (m_textController)
        m_textController->setLocked(locked || !enabled);
}

void VLTMStyleEditSub_VXTextAdornment::newObjectWasAssigned()
{
    StyleTablePane::newObjectWasAssigned();
    if (m_textController)
        m_textController->reloadContent();
}

const platform::DisplayBindings& VLTMStyleEditSub_VXTextAdornment::displayBindings() const
{
    using Self = VLTMStyleEditSub_VXTextAdornment;
    static const auto bindings = platform::DisplayBindings(StyleTablePane::displayBindings())
        .bind(QStringLiteral("string"), &Self::setString, &Self::setMixedValueForString)
        .bind(QStringLiteral("label"), &Self::setLabel);
    return bindings;
}
