#pragma once

// What the drawing set-up sheet does, without its window: it keeps the settings the delegate
// (the map document) gave at opening and a working copy that every control edits, decides
// which pages and controls are available, and sends the delegate previews, the original
// settings to restore, and commits (see DrawingSetupSettings.h).
//
// Edits that the drawing cannot take (a size of 0, a margin leaving no interior, NaN...) are
// refused: the setter answers false, the working copy keeps its value and the sheet beeps.

#include "app/setup/DrawingSetupSettings.h"

#include <QColor>
#include <QImage>
#include <QVariantMap>

class DrawingSetupDelegate {
public:
    virtual ~DrawingSetupDelegate() = default;
    virtual QVariantMap dictionaryOfDrawingSettings() = 0;
    virtual void performDrawingSetUpWithOptionsIsPreviewOrCancel(const QVariantMap& settings, bool previewOrCancel) = 0;
};

class DrawingSetupModel {
public:
    enum Page { kDrawingPage = 0, kGraphPaperPage = 1, kIndexGridPage = 2 };
    // Theme selector values.
    enum { kThemeColourSelector = 0, kSeparateColoursSelector = 1 };

    // Which controls may be used.
    struct ControlStates {
        bool themeWell;
        bool separateWells; // span, divisions and majors
        bool gridControls;  // fields, steppers, checkboxes and the theme selector
    };

    void setDelegate(DrawingSetupDelegate* delegate) { m_delegate = delegate; }
    DrawingSetupDelegate* delegate() const { return m_delegate; }

    // --- Opening -------------------------------------------------------------------------
    // Takes the delegate's settings as the original and working settings (the map scale moves
    // out of the working copy into mapScale) and answers the page to show for `page`.
    int beginWithInitialPage(int page);
    // The page shown for a request: the graph paper only with a grid, the index grid never
    // without one; anything else is the drawing page.
    int pageForRequest(int page) const;
    // Whether a page may be chosen by hand; false means a beep.
    bool maySelectPage(int page) const;
    bool hasDrawingGrid() const { return m_hasDrawingGrid; }
    bool hasIndexGrid() const { return m_hasIndexGrid; }

    const QVariantMap& originalSettings() const { return m_originalSettings; }
    const QVariantMap& currentSettings() const { return m_currentSettings; }
    // The working settings with the map scale, as sent to the delegate.
    QVariantMap dictionaryOfCurrentDialogSettings() const;
    ControlStates controlStates() const;

    // --- Preview, Apply, OK, Cancel ----------------------------------------------------------
    bool previewEnabled() const { return m_previewEnabled; }
    // Previews (or restores the original when off); Apply is enabled exactly while it is off.
    void setPreviewEnabled(bool enabled);
    bool applyEnabled() const { return !m_previewEnabled; }
    // The working settings (Preview on) or the original ones (off), as a preview.
    void conditionallyPreview();
    // Commits the working settings; they become the original ones, so a later Apply, OK or
    // Cancel starts from here. After a margin adjustment to the grid, the margins are re-read.
    void apply();
    // 1 commits the working settings, 0 restores the original ones; other codes send nothing.
    void endWithCode(int code);
    // Stores size, margins, scale, units and prescale as the defaults of new documents.
    void setAsDefault() const;

    // --- Edits (each previews unless said otherwise) ------------------------------------------
    bool setDrawingWidth(double width);
    bool setDrawingHeight(double height);
    void setUnits(const ZQUnitLengthPtr& units);
    void setSubtractPaperMargins(bool subtract);
    bool setMargin(const QString& marginKey, double value);
    void setTweakMargins(bool tweak);
    // No preview.
    bool setPrescale(double prescale);
    bool setSpanMultiplier(double span);
    bool setDivisions(double divisions);
    bool setMajors(double majors);
    bool setRulerLabelInterval(double interval);
    // No preview.
    void setGridPrinted(bool printed);
    // No preview.
    void setPaperPrinted(bool printed);
    void setGridVisible(bool visible);
    void setGridType(int type);
    void setIsometricVerticals(bool shown);
    void setThemeSelector(int selector);
    void setThemeColour(const QColor& colour);
    void setSpanColour(const QColor& colour);
    void setDivisionsColour(const QColor& colour);
    void setMajorsColour(const QColor& colour);
    // A plain paper colour; its texture name is the fixed colour's.
    void setPaperColour(const QColor& colour);
    // A picture tiled as the paper, named by no texture; a null image is refused.
    bool setPaperImage(const QImage& image);
    VXQMapScalePtr mapScale() const { return m_mapScale; }
    void setMapScale(const VXQMapScalePtr& scale);

    // --- The texture chooser's delegate --------------------------------------------------------
    // A null brush is white paper.
    void applyTexture(const QBrush& paper);
    // An empty name removes it.
    void setBackgroundTextureName(const QString& name);
    QBrush currentBackgroundTexture() const;
    QString currentBackgroundTextureName() const;

    // The separate colours the theme well suggests: span, divisions (lighter by half) and
    // majors (darker by a third).
    static QColor lighterColour(const QColor& colour, double level);
    static QColor darkerColour(const QColor& colour, double level);

private:
    void setValueAndPreview(const QString& key, const QVariant& value);
    bool setGridCount(const QString& key, double count);
    void send(const QVariantMap& settings, bool previewOrCancel);

    DrawingSetupDelegate* m_delegate = nullptr;
    QVariantMap m_originalSettings;
    QVariantMap m_currentSettings;
    VXQMapScalePtr m_mapScale;
    bool m_hasDrawingGrid = false;
    bool m_hasIndexGrid = false;
    bool m_previewEnabled = true;
};
