#pragma once

// The panes of the components that draw an image: tiling fill, image adornment, path
// decorator and the fill pattern derived from it. Images come from a file or the pasteboard.

#include "style_editor/panes/table/StyleTablePane.h"
#include "style_editor/panes/fills/ImageSourceControls.h"


// A table pane with the image controls, which write "image".
class StyleImagePane : public StyleTablePane {
    Q_OBJECT

public:
    // Each key shown through a setter, bound to it.
    const platform::DisplayBindings& displayBindings() const override;
    ImageSourceControls* imageControls() { view(); return m_imageControls; }
    void setImage(const QImage& image);

protected:
    void addCustomControls(QFormLayout& form) override;
    void setCustomStates(bool mayEdit) override;
    void newObjectWasAssigned() override;
    // The decoded image of the file's bytes to "image"; bytes that do not decode change nothing.
    virtual void takeImageFileData(const QByteArray& data);
    virtual void takePastedImage(const QImage& image);
    // Whether Paste needs an image on the pasteboard to be enabled.
    virtual bool pasteNeedsPasteboardImage() const { return true; }

private:
    QPointer<ImageSourceControls> m_imageControls;
    bool m_pasteboardHasImage = false;
};

class VLTMStyleEditSub_VXTilingFill : public StyleImagePane {
    Q_OBJECT

public:
    const QMetaObject* managedObjectClass() const override;
    StylePaneTable table() const override;
    QStringList customKeyPaths() const override { return {QStringLiteral("image")}; }

protected:
    // The bytes go to the tiling fill as they are, so it keeps what the file held.
    void takeImageFileData(const QByteArray& data) override;
    void takePastedImage(const QImage& image) override;
    bool pasteNeedsPasteboardImage() const override { return false; }
};

class VLTMStyleEditSub_VXImageAdornment : public StyleImagePane {
    Q_OBJECT

public:
    const QMetaObject* managedObjectClass() const override;
    QString helpIdentifier() const override { return QStringLiteral("image-fill"); }
    StylePaneTable table() const override;
    QStringList customKeyPaths() const override { return {QStringLiteral("image")}; }
};

class VLTMStyleEditSub_VXPathDecorator : public StyleImagePane {
    Q_OBJECT

public:
    const QMetaObject* managedObjectClass() const override;
    QString helpIdentifier() const override { return QStringLiteral("path-decorator"); }
    StylePaneTable table() const override;
    QStringList customKeyPaths() const override { return {QStringLiteral("image")}; }
};

class VLTMStyleEditSub_VXFillPattern : public VLTMStyleEditSub_VXPathDecorator {
    Q_OBJECT

public:
    const QMetaObject* managedObjectClass() const override;
    QString helpIdentifier() const override { return QStringLiteral("pattern-fill"); }
    // Its own list: the decorator's lateral, lead-in, chain and clipping keys do not apply.
    StylePaneTable table() const override;
};
