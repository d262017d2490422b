#pragma once

// The sheet that edits a smart category's rule and item-count limit. The limit applies at once,
// so the manager's item list follows it while the sheet is up; Cancel puts the limit back and
// never touches the rule; OK takes the rule and tells the delegate.

#include "library/info/LibraryRuleEditor.h"
#include "platform/foundation/ZQObject.h"

#include <QPointer>
#include <memory>

class QCheckBox;
class QDialog;
class QSpinBox;
class VXQLibrarySmartCategory;
class VXQLibrarySmartCategoryEditController;

class VXQLibrarySmartCategoryEditorDelegate {
public:
    virtual ~VXQLibrarySmartCategoryEditorDelegate() = default;
    // The user confirmed the sheet; the category holds the new rule and limit.
    virtual void smartCategoryEditorDidFinishEditingCategory(VXQLibrarySmartCategoryEditController* editor,
                                                             VXQLibrarySmartCategory* category) = 0;
};

class VXQLibrarySmartCategoryEditController : public ZQObject {
    Q_OBJECT

public:
    static constexpr int kDefaultLimit = 10;
    // What the sheet adds to the rule editor's rows.
    static constexpr int kChromeHeight = 50;

    VXQLibrarySmartCategoryEditController();
    ~VXQLibrarySmartCategoryEditController() override;

    // Loads the category and opens the sheet on the window. The delegate is not kept alive and
    // must be a QObject.
    void beginSmartCategoryEditOnParentWindowWithDelegate(VXQLibrarySmartCategory* category, QWidget* parent,
                                                          VXQLibrarySmartCategoryEditorDelegate* delegate);
    VXQLibrarySmartCategory* smartCategory() const { return m_editingCat.get(); }
    // The category must be owned by a shared_ptr (as a library's are); the editor keeps it.
    void setSmartCategory(VXQLibrarySmartCategory* category);
    // 0 is no limit: the box is off and the limit field disabled. Either way the category
    // takes the limit now.
    void setCountLimit(qint64 limit);
    qint64 savedCountLimit() const { return m_savedCountLimit; }

    Q_INVOKABLE void enableLimitAction(QObject* sender);
    Q_INVOKABLE void setLimitAction(QObject* sender);
    Q_INVOKABLE void okAction(QObject* sender);
    Q_INVOKABLE void cancelAction(QObject* sender);
    // The sheet grows or shrinks with the rule's rows (row height x rows + 50), its top edge fixed.
    void ruleEditorRowsDidChange();

    QDialog* window();
    LibraryRuleEditor* predicateEditor();
    QCheckBox* setLimitCheckbox();
    QSpinBox* limitField();

private:
    void loadCountLimit();
    void sheetDidEnd(int returnCode);

    QPointer<QDialog> m_window;
    QPointer<QObject> m_delegateGuard;
    VXQLibrarySmartCategoryEditorDelegate* m_delegate = nullptr;
    QPointer<LibraryRuleEditor> m_predicateEditor;
    QPointer<QCheckBox> m_setLimitCheckbox;
    QPointer<QSpinBox> m_limitField;
    std::shared_ptr<VXQLibrarySmartCategory> m_editingCat;
    qint64 m_savedCountLimit = 0;
};
