#pragma once

// The import options shown under the file list of the shapefile open panel. Every control
// writes its user default ("kImportOption…") the moment it changes; the import reads them
// when it makes its path converter, simplifier and object factory. The panel takes the
// view over and deletes it with itself, so accessoryView() builds a fresh one when the last
// has gone, set from the defaults.

#include "app/import/ZQShapefileImportOptions.h"
#include "platform/foundation/ZQObject.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPointer>
#include <QVariantMap>

class ZQImportOptionsController : public ZQObject {
    Q_OBJECT

public:
    static inline const QString kSimplifyEnableKey = QStringLiteral("kImportOptionSettingSimplifyEnable");
    static inline const QString kSimplifyDetailLevelKey = QStringLiteral("kImportOptionSettingSimplifyDetailLevel");
    static inline const QString kSimplifyAlgorithmKey = QStringLiteral("kImportOptionSettingSimplifyAlgorithm");
    static inline const QString kSimplifyAlgorithmClassnameKey =
        QStringLiteral("kImportOptionSettingSimplifyAlgorithmClassname");
    static inline const QString kAutocolourEnableKey = QStringLiteral("kImportOptionSettingAutocolourEnable");
    static inline const QString kAutocolourListNameKey = QStringLiteral("kImportOptionAutocolourListName");
    static inline const QString kMapcolorAttributeNameKey = QStringLiteral("kImportOptionMapcolorAttributeName");

    ZQImportOptionsController();
    ~ZQImportOptionsController() override;

    // The view for the open panel, built and set from the defaults when there is none.
    QWidget* accessoryView();
    // Sets the controls from the user defaults.
    void awakeFromInterface();

    // The stored values of the simplification and mapcolor keys; absent keys are left out.
    QVariantMap settings() const;

    // Every algorithm is Douglas-Peucker for now.
    static QString simplifierClassnameForTag(int tag);
    // "mapcolor8", "mapcolor9" or "mapcolor13" for those tags, "mapcolor7" for any other.
    static QString mapcolorAttributeNameForTag(int tag);

    const ZQShapefileImportOptions& importOptions() const { return m_importOptions; }
    void setImportOptions(const ZQShapefileImportOptions& options) { m_importOptions = options; }

    Q_INVOKABLE void simplifyEnableAction(QObject* sender);
    Q_INVOKABLE void simplificationStrengthAction(QObject* sender);
    Q_INVOKABLE void simplificationAlgorithmAction(QObject* sender);
    Q_INVOKABLE void autoColourEnableAction(QObject* sender);
    Q_INVOKABLE void autoColourTableSelectAction(QObject* sender);
    Q_INVOKABLE void mapcolorEnableAction(QObject* sender);
    Q_INVOKABLE void mapcolorAttributeNameAction(QObject* sender);
    Q_INVOKABLE void shapefileHelpAction(QObject* sender);

    // The controls while the view exists (null before it is built and after it has gone).
    QComboBox* simplificationStrengthPopUpButton() const { return mSimplificationStrengthPopUpButton; }
    QCheckBox* simplifyEnableCheckbox() const { return mSimplifyEnableCheckbox; }
    QComboBox* simplificationAlgorithmPopUpButton() const { return mSimplificationAlgorithmPopUpButton; }
    QCheckBox* autoColourEnableCheckbox() const { return mAutoColourEnableCheckbox; }
    QComboBox* autoColourColourTablesPopUpButton() const { return mAutoColourColourTablesPopUpButton; }
    QCheckBox* mapcolorEnableCheckbox() const { return mMapcolorEnableCheckbox; }
    QComboBox* mapcolorAttributeNamePopUpButton() const { return mMapcolorAttributeNamePopUpButton; }

private:
    QWidget* makeAccessoryView();
    // The colour-list pop-up: its "Select..." title item, then one item per available list.
    void fillColourTablesPopUp();
    void updateEnabledControls();

    QPointer<QWidget> mImportOptionsAccessoryView;
    QPointer<QComboBox> mSimplificationStrengthPopUpButton;
    QPointer<QCheckBox> mSimplifyEnableCheckbox;
    QPointer<QComboBox> mSimplificationAlgorithmPopUpButton;
    QPointer<QCheckBox> mAutoColourEnableCheckbox;
    QPointer<QComboBox> mAutoColourColourTablesPopUpButton;
    QPointer<QCheckBox> mMapcolorEnableCheckbox;
    QPointer<QComboBox> mMapcolorAttributeNamePopUpButton;
    ZQShapefileImportOptions m_importOptions;
};
