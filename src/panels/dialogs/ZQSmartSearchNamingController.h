#pragma once

// The naming sheet: asks for the name of a search that asked to be saved as a smart search,
// showing the proposed name (selected) and what the search looks for. OK hands the typed name
// and the naming information back to the delegate; the sheet deletes itself when it ends.

#include <QDialog>
#include <QPointer>
#include <QVariantMap>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

// The naming information: {"query": the query (a ZQObjectPtr), "key": the proposed name}.
inline const QString kSmartSearchNamingQueryKey = QStringLiteral("query");
inline const QString kSmartSearchNamingProposedNameKey = QStringLiteral("key");

class SmartSearchNamingDelegate {
public:
    virtual ~SmartSearchNamingDelegate() = default;
    virtual void applyNameWithInfo(const QString& name, const QVariantMap& info) = 0;
    // A name to show instead of the proposed one.
    virtual std::optional<QString> defaultName() const { return std::nullopt; }
};

class ZQSmartSearchNamingController : public QDialog {
    Q_OBJECT

public:
    explicit ZQSmartSearchNamingController(QWidget* parent = nullptr);

    // A new sheet on `window` for `delegate` (a SmartSearchNamingDelegate, not owned).
    static ZQSmartSearchNamingController* runSheetInParentWindow(QWidget* window, QObject* delegate,
                                                                 const QVariantMap& info);

    const QVariantMap& info() const { return m_info; }
    QLineEdit* nameField() const { return m_nameField; }
    QLabel* descriptionField() const { return m_descriptionField; }
    void okAction();
    void cancelAction();

private:
    void setUp();
    void sheetDidEnd(int returnCode);

    QLineEdit* m_nameField = nullptr;
    QLabel* m_descriptionField = nullptr;
    QPointer<QObject> m_delegate;
    QVariantMap m_info;
};
