#pragma once

// The editor widgets InPlaceTextEditing lays over a drawing (see there for how they are placed
// and when an edit ends).
//
// InPlaceTextEditor edits characters: pasted text, of whichever type the clipboard offers
// (see PastedText.h), arrives as characters that take the attributes where they land, as typed
// text does. AttributedTextEditor edits runs: pasted text keeps its runs over the attributes
// where it lands; the font manager's changeFont and changeAttributes reach it as the first
// responder and change the selected characters (with nothing selected, what is typed next; a
// paragraph style, the paragraphs of the selection or the caret); and it reports the selection's
// font and attributes to the font manager as the caret moves.

#include "platform/graphics/AttributedString.h"

#include <QFont>
#include <QTextEdit>
#include <functional>
#include <optional>

namespace platform {

struct TextEditingOptions;

class InPlaceTextEditor : public QTextEdit {
    Q_OBJECT

public:
    using Finish = std::function<void()>;

    // `finish` is called once, when Escape, Return (as the options say) or the focus leaving ends typing.
    InPlaceTextEditor(QWidget* parent, const TextEditingOptions& options, Finish finish);

    // The editor may outlive the edit (it goes later); later events must not end another edit.
    void detach() { m_finish = nullptr; }
    // Covers `area`, and more of the viewport when the text needs it, within the limits (viewport
    // pixels; an empty maximum is no limit).
    void setArea(const QRect& area, const QSize& minimum, const QSize& maximum);
    // Readies the editor for `text` about to come in: one with a long unbroken run (see
    // kLongestScannedRun) makes it wrap anywhere from then on, where wrapping at words would
    // cost the square of the run's length at each layout.
    void prepareForText(QStringView text);
    // Font sizes in the editor per point on the paper.
    double fontScale() const { return m_fontScale; }
    void setFontScale(double scale) { m_fontScale = scale; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    // Puts what was read from the clipboard in place of the selection.
    virtual void insertPastedText(const AttributedString& text);

private:
    void finish();
    // From the editor's edge to its text: the text starts where the area does.
    int inset() const;
    int frameAndMargins() const { return 2 * inset(); }
    // The editor's height that shows every line of its text.
    int heightOfText() const;
    // The editor's width that shows its longest line unwrapped, with room for the cursor.
    int widthOfText() const;
    void fitText();

    Finish m_finish;
    const bool m_returnCommits;
    const bool m_growsHorizontally;
    QRect m_area;
    QSize m_minimum;
    QSize m_maximum;
    bool m_fitting = false;
    double m_fontScale = 1.0;
};

class AttributedTextEditor : public InPlaceTextEditor {
    Q_OBJECT

public:
    // `font` is the font of runs that give none.
    AttributedTextEditor(QWidget* parent, const TextEditingOptions& options, const QFont& font, Finish finish);

    // `sender` is the font manager, which converts.
    Q_INVOKABLE void changeFont(QObject* sender);
    Q_INVOKABLE void changeAttributes(QObject* sender);

    // Tells the font manager the font and attributes of the selection (of the caret without one).
    void reportSelectionToFontManager();

protected:
    void insertPastedText(const AttributedString& text) override;

private:
    TextAttributes attributesAtCaret() const;
    QFont fontOf(const TextAttributes& attributes) const;
    void changeSelection(const std::function<TextAttributes(const TextAttributes&)>& change);

    TextAttributes m_typingAttributes;
    QFont m_font;
    struct Report {
        QFont font;
        TextAttributes attributes;
        bool multiple = false;
        bool operator==(const Report&) const = default;
    };
    std::optional<Report> m_reported;
};

} // namespace platform
