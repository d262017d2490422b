#pragma once

// The application's font manager, installed with FontManager::setFontManagerFactory in main.
// It keeps a scratch text adornment that mirrors the font and attributes of the current
// selection, so the text inspector can edit it like any text object while text is typed in
// a drawing view (under the key "textAdornment"). Each change of the scratch adornment goes
// out as the usual font messages: changeFont for the font and its size, changeAttributes for
// the other attributes, whose receivers call back convertFont and convertAttributes, which
// answer from the adornment. Selections reported to the manager are copied into the
// adornment the other way.
//
// changeOriginator keeps the two directions from feeding each other: an inspector edit
// ignores the selection reports it causes, and a selection report sends nothing. The adornment
// answers the conversions only while its own edit goes out; other changes (the Format menu,
// the font panel) convert as the base font manager does.

#include "platform/ui/FontManager.h"
#include "platform/vantrix/styles/VXRasterizer.h"
#include "platform/vantrix/text/VXTextAdornment.h"

class VLTMFontManagerTrampoline : public platform::FontManager, public VXRasterizerObserver {
    Q_OBJECT
    Q_PROPERTY(bool locked READ locked WRITE setLocked)
    Q_PROPERTY(int changeOriginator READ changeOriginator WRITE setChangeOriginator)
    Q_PROPERTY(VXTextAdornment* textAdornment READ textAdornmentObject CONSTANT)
    Q_PROPERTY(QString rastKeyPath READ rastKeyPath WRITE setRastKeyPath)

public:
    enum ChangeOriginator { kNoOriginator = 0, kAdornmentOriginator = 1, kFontManagerOriginator = 2 };

    VLTMFontManagerTrampoline();
    ~VLTMFontManagerTrampoline() override;

    // The shared font manager when it is a trampoline; otherwise (the factory was not
    // installed) one private instance, with a warning.
    static VLTMFontManagerTrampoline* sharedFontManagerTrampoline();
    // The shared trampoline as inspector content; never owns it, as it lives for the run.
    static ZQObjectPtr sharedFontManagerTrampolineObject();

    // The text attribute an adornment key stands for; empty for keys that have none.
    static QString attributeNameForKeyPath(const QString& key);

    bool locked() const { return m_locked; }
    void setLocked(bool locked) { m_locked = locked; }
    int changeOriginator() const { return m_changeOriginator; }
    void setChangeOriginator(int originator) { m_changeOriginator = originator; }
    VXTextAdornment* textAdornment() const { return m_textAdornment.get(); }
    // The adornment key changed last by the inspector.
    QString rastKeyPath() const { return m_rastKeyPath; }
    void setRastKeyPath(const QString& key) { m_rastKeyPath = key; }

    // --- Observer of the scratch adornment -------------------------------------------
    void rasterizerWillChangeKeyPath(VXRasterizer* rasterizer, const QString& keyPath) override;
    void rasterizerDidChangeKeyPath(VXRasterizer* rasterizer, const QString& keyPath) override;

    // --- Font manager -----------------------------------------------------------------
    void setSelectedFontIsMultiple(const QFont& font, bool isMultiple) override;
    void setSelectedAttributesIsMultiple(const platform::TextAttributes& attributes, bool isMultiple) override;
    QFont convertFont(const QFont& font) const override;
    platform::TextAttributes convertAttributes(const platform::TextAttributes& attributes) const override;

private:
    VXTextAdornment* textAdornmentObject() const { return m_textAdornment.get(); }

    bool m_locked = false;
    int m_changeOriginator = kNoOriginator;
    VXTextAdornmentPtr m_textAdornment;
    QString m_rastKeyPath;
    // The adornment's font before the change in progress: a size change reaches the
    // observer as a change of the font, and goes out as a size change.
    QFont m_fontBeforeChange;
};
