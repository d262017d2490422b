#pragma once

// The dash editor sheet: up to four mark/space pairs typed in fields or dragged on the
// preview, whether the dash scales with the line width, and adding the dash to the registered
// ones. It edits a copy of the dash it is given; its delegate hears of every change (so the
// stroke follows live) and once more when the sheet ends: OK (1) keeps the copy, Cancel (0)
// restores the dash it was given.

#include "platform/vantrix/styles/VXStrokeDash.h"

#include <QObject>
#include <QPointer>
#include <array>
#include <QLineEdit>
#include <QDialog>
#include <QCheckBox>
#include <QButtonGroup>
#include "style_editor/dash/ZQDashEditView.h"

class QAbstractButton;
class QPainter;
namespace platform {
class BezierPath;
}

class ZQDashEditor;

class ZQDashEditorDelegate {
public:
    virtual ~ZQDashEditorDelegate() = default;
    virtual void dashDidChange(ZQDashEditor& editor) = 0;
    virtual void dashEditorDidRegisterDash(ZQDashEditor& editor, const VXStrokeDashPtr& dash)
    {
        Q_UNUSED(editor) Q_UNUSED(dash)
    }
    virtual void drawBackgroundForDashStroke(QPainter& painter, platform::BezierPath& path)
    {
        Q_UNUSED(painter) Q_UNUSED(path)
    }
};

class ZQDashEditor : public QObject {
    Q_OBJECT

public:
    static constexpr int kFieldCount = 8;

    ZQDashEditor();
    ~ZQDashEditor() override;

    // The working copy; null when the sheet is not open and no dash was set.
    VXStrokeDashPtr dash() const { return m_dash; }
    // The dash becomes the saved one; a copy of it is edited.
    void setDash(const VXStrokeDashPtr& dash);
    // Opens window-modal on the parent's window (the default dash when none was set) and tells
    // the delegate at once.
    void openDashEditorInParentWindowDelegate(QWidget* parent, ZQDashEditorDelegate* delegate);
    void setLineWidth(double width);
    void setLineCapStyle(int style);
    void setLineJoinStyle(int style);
    void setLineColour(const QColor& colour);

    // 2, 4, 6 or 8 lengths: existing ones stay, new ones are 1.
    void setDashCount(int count);

    // Actions.
    void dashValueAction();
    void dashScaleCheckboxAction();
    void dashCountMatrixAction(int column);
    void registerDashAction();
    void ok();
    void cancel();

    QDialog* window() const { return m_window; }
    QLineEdit* field(int index) const { return m_fields[index]; }
    QButtonGroup* countButtons() const { return m_countButtons; }
    QCheckBox* scaleCheckbox() const { return m_scaleCheckbox; }
    ZQDashEditView* preview() const { return m_preview; }

private:
    void sheetDidEnd(int code);
    void updateControls();
    void dashChanged();

    QPointer<QDialog> m_window;
    std::array<QPointer<QLineEdit>, kFieldCount> m_fields;
    QPointer<QButtonGroup> m_countButtons;
    QPointer<QCheckBox> m_scaleCheckbox;
    QPointer<ZQDashEditView> m_preview;
    VXStrokeDashPtr m_dash;
    VXStrokeDashPtr m_originalDash;
    ZQDashEditorDelegate* m_delegate = nullptr;
};
