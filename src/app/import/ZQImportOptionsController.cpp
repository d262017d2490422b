#include "app/import/ZQImportOptionsController.h"

#include "app/application/VLTMHelpTrampoline.h"

#include "platform/graphics/ColourList.h"
#include "platform/foundation/UserDefaults.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QStandardItemModel>
#include <QToolButton>
#include <QWidget>

namespace {

platform::UserDefaults& defaults()
{
    return *platform::UserDefaults::standardUserDefaults();
}

int selectedTag(const QComboBox* popUp)
{
    return popUp->currentData().toInt();
}

void selectItemWithTag(QComboBox* popUp, int tag)
{
    const int index = popUp->findData(tag);
    if (index >= 0)
        popUp->setCurrentIndex(index);
}

QComboBox* makePopUp(const QList<std::pair<QString, int>>& itemsWithTags)
{
    auto* popUp = new QComboBox;
    for (const auto& [title, tag] : itemsWithTags)
        popUp->addItem(title, tag);
    return popUp;
}

} // namespace

ZQImportOptionsController::ZQImportOptionsController() = default;

ZQImportOptionsController::~ZQImportOptionsController() = default;

QWidget* ZQImportOptionsController::accessoryView()
{
    if (!mImportOptionsAccessoryView) {
        mImportOptionsAccessoryView = makeAccessoryView();
        awakeFromInterface();
    }
    return mImportOptionsAccessoryView;
}

QWidget* ZQImportOptionsController::makeAccessoryView()
{
    auto* view = new QWidget;
    view->setObjectName(QStringLiteral("importOptions"));
    // Detail levels by tolerance, coarsest first: level 4 is the finest.
    mSimplificationStrengthPopUpButton = makePopUp({{tr("Coarsest"), 3}, {tr("Coarse"), 2}, {tr("Medium"), 1},
                                                    {tr("Fine"), 0}, {tr("Finest"), 4}});
    mSimplificationAlgorithmPopUpButton = makePopUp({{tr("Douglas-Peucker"), 0}});
    mMapcolorAttributeNamePopUpButton = makePopUp(
        {{QStringLiteral("mapcolor7"), 7}, {QStringLiteral("mapcolor8"), 8}, {QStringLiteral("mapcolor9"), 9},
         {QStringLiteral("mapcolor13"), 13}});
    mAutoColourColourTablesPopUpButton = new QComboBox;
    fillColourTablesPopUp();
    mSimplifyEnableCheckbox = new QCheckBox(tr("Simplify outlines"));
    mAutoColourEnableCheckbox = new QCheckBox(tr("Colour areas automatically"));
    mMapcolorEnableCheckbox = new QCheckBox(tr("Colour by attribute"));
    // Without a palette attribute every area is coloured by a style of its own.
    mAutoColourEnableCheckbox->setToolTip(tr("Each area gets a style of its own, in the next colour of the list."));
    mMapcolorEnableCheckbox->setToolTip(tr("Areas with the same value of the attribute share one style."));
    // The import always does this; it is no choice, so it is said rather than offered.
    auto* outOfView = new QLabel(tr("Objects that lie outside the drawing are left out."));
    outOfView->setObjectName(QStringLiteral("outOfViewNote"));
    auto* help = new QToolButton;
    help->setText(QStringLiteral("?"));
    help->setToolTip(tr("Help"));

    auto* grid = new QGridLayout(view);
    grid->addWidget(mSimplifyEnableCheckbox, 0, 0);
    grid->addWidget(new QLabel(tr("Detail:")), 0, 1, Qt::AlignRight);
    grid->addWidget(mSimplificationStrengthPopUpButton, 0, 2);
    grid->addWidget(new QLabel(tr("Method:")), 0, 3, Qt::AlignRight);
    grid->addWidget(mSimplificationAlgorithmPopUpButton, 0, 4);
    grid->addWidget(mAutoColourEnableCheckbox, 1, 0);
    grid->addWidget(new QLabel(tr("Colours:")), 1, 1, Qt::AlignRight);
    grid->addWidget(mAutoColourColourTablesPopUpButton, 1, 2);
    grid->addWidget(mMapcolorEnableCheckbox, 1, 3, Qt::AlignRight);
    grid->addWidget(mMapcolorAttributeNamePopUpButton, 1, 4);
    grid->addWidget(outOfView, 2, 0, 1, 4);
    grid->addWidget(help, 2, 4, Qt::AlignRight);

    connect(mSimplifyEnableCheckbox, &QCheckBox::clicked, this, [this] { simplifyEnableAction(mSimplifyEnableCheckbox); });
    connect(mAutoColourEnableCheckbox, &QCheckBox::clicked, this,
            [this] { autoColourEnableAction(mAutoColourEnableCheckbox); });
    connect(mMapcolorEnableCheckbox, &QCheckBox::clicked, this, [this] { mapcolorEnableAction(mMapcolorEnableCheckbox); });
    connect(mSimplificationStrengthPopUpButton, &QComboBox::activated, this,
            [this] { simplificationStrengthAction(mSimplificationStrengthPopUpButton); });
    connect(mSimplificationAlgorithmPopUpButton, &QComboBox::activated, this,
            [this] { simplificationAlgorithmAction(mSimplificationAlgorithmPopUpButton); });
    connect(mAutoColourColourTablesPopUpButton, &QComboBox::activated, this,
            [this] { autoColourTableSelectAction(mAutoColourColourTablesPopUpButton); });
    connect(mMapcolorAttributeNamePopUpButton, &QComboBox::activated, this,
            [this] { mapcolorAttributeNameAction(mMapcolorAttributeNamePopUpButton); });
    connect(help, &QToolButton::clicked, this, [this, help] { shapefileHelpAction(help); });
    return view;
}

void ZQImportOptionsController::fillColourTablesPopUp()
{
    QComboBox* popUp = mAutoColourColourTablesPopUpButton;
    popUp->addItem(tr("Select..."));
    // The title item is not a list to choose.
    if (auto* model = qobject_cast<QStandardItemModel*>(popUp->model()))
        model->item(0)->setEnabled(false);
    for (const QString& name : platform::ColourList::availableColourListNames())
        popUp->addItem(name);
}

void ZQImportOptionsController::awakeFromInterface()
{
    mSimplifyEnableCheckbox->setChecked(defaults().boolForKey(kSimplifyEnableKey));
    selectItemWithTag(mSimplificationStrengthPopUpButton, int(defaults().integerForKey(kSimplifyDetailLevelKey)));
    selectItemWithTag(mSimplificationAlgorithmPopUpButton, int(defaults().integerForKey(kSimplifyAlgorithmKey)));

    const int listIndex = mAutoColourColourTablesPopUpButton->findText(defaults().stringForKey(kAutocolourListNameKey));
    mAutoColourColourTablesPopUpButton->setCurrentIndex(
        listIndex > 0 ? listIndex : std::min(1, mAutoColourColourTablesPopUpButton->count() - 1));
    mAutoColourEnableCheckbox->setChecked(defaults().boolForKey(kAutocolourEnableKey));

    const QVariant attribute = defaults().objectForKey(kMapcolorAttributeNameKey);
    mMapcolorEnableCheckbox->setChecked(attribute.isValid());
    if (attribute.isValid()) {
        const QString name = attribute.toString();
        const int tag = name == QStringLiteral("mapcolor13") ? 13
                      : name == QStringLiteral("mapcolor8")  ? 8
                      : name == QStringLiteral("mapcolor9")  ? 9
                                                             : 7;
        selectItemWithTag(mMapcolorAttributeNamePopUpButton, tag);
    }
    updateEnabledControls();
}

void ZQImportOptionsController::updateEnabledControls()
{
    const bool simplify = mSimplifyEnableCheckbox->isChecked();
    mSimplificationStrengthPopUpButton->setEnabled(simplify);
    mSimplificationAlgorithmPopUpButton->setEnabled(simplify);
    const bool autoColour = mAutoColourEnableCheckbox->isChecked();
    mAutoColourColourTablesPopUpButton->setEnabled(autoColour);
    mMapcolorEnableCheckbox->setEnabled(autoColour);
    mMapcolorAttributeNamePopUpButton->setEnabled(autoColour && mMapcolorEnableCheckbox->isChecked());
}

QVariantMap ZQImportOptionsController::settings() const
{
    QVariantMap settings;
    for (const QString& key : {kSimplifyEnableKey, kSimplifyDetailLevelKey, kSimplifyAlgorithmKey,
                               kSimplifyAlgorithmClassnameKey, kMapcolorAttributeNameKey}) {
        const QVariant value = defaults().objectForKey(key);
        if (value.isValid())
            settings.insert(key, value);
    }
    return settings;
}

QString ZQImportOptionsController::simplifierClassnameForTag(int)
{
    return QStringLiteral("ZQDouglasPeuckerSimplifier");
}

QString ZQImportOptionsController::mapcolorAttributeNameForTag(int tag)
{
    switch (tag) {
    case 8:
    case 9:
    case 13: return QStringLiteral("mapcolor%1").arg(tag);
    default: return QStringLiteral("mapcolor7");
    }
}

void ZQImportOptionsController::simplifyEnableAction(QObject*)
{
    defaults().setBoolForKey(mSimplifyEnableCheckbox->isChecked(), kSimplifyEnableKey);
    updateEnabledControls();
}

void ZQImportOptionsController::simplificationStrengthAction(QObject*)
{
    defaults().setIntegerForKey(selectedTag(mSimplificationStrengthPopUpButton), kSimplifyDetailLevelKey);
}

void ZQImportOptionsController::simplificationAlgorithmAction(QObject*)
{
    const int tag = selectedTag(mSimplificationAlgorithmPopUpButton);
    defaults().setIntegerForKey(tag, kSimplifyAlgorithmKey);
    defaults().setObjectForKey(simplifierClassnameForTag(tag), kSimplifyAlgorithmClassnameKey);
}

void ZQImportOptionsController::autoColourEnableAction(QObject*)
{
    defaults().setBoolForKey(mAutoColourEnableCheckbox->isChecked(), kAutocolourEnableKey);
    updateEnabledControls();
}

void ZQImportOptionsController::autoColourTableSelectAction(QObject*)
{
    defaults().setObjectForKey(mAutoColourColourTablesPopUpButton->currentText(), kAutocolourListNameKey);
}

// Writes nothing: the attribute name is stored or removed when an attribute is chosen.
void ZQImportOptionsController::mapcolorEnableAction(QObject*)
{
    updateEnabledControls();
}

void ZQImportOptionsController::mapcolorAttributeNameAction(QObject*)
{
    if (mMapcolorEnableCheckbox->isChecked())
        defaults().setObjectForKey(mapcolorAttributeNameForTag(selectedTag(mMapcolorAttributeNamePopUpButton)),
                                   kMapcolorAttributeNameKey);
    else
        defaults().removeObjectForKey(kMapcolorAttributeNameKey);
}

void ZQImportOptionsController::shapefileHelpAction(QObject*)
{
    VLTMHelpTrampoline::sharedHelpTrampoline()->showHelpForIdentifier(QStringLiteral("import-shapefile"));
}
