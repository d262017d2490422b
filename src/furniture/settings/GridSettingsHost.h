#pragma once

// What the annotation and border panes ask of the pane that hosts them (the grid pane):
// whether the grid takes edits, and to show the values that the host's own controls stand
// for (the placement both annotations share, the edges that carry bands).

class GridSettingsHost {
public:
    virtual ~GridSettingsHost() = default;

    virtual bool gridIsLocked() = 0;
    // 0 on the grid lines, 1 between them.
    virtual void setPlacement(int placement) = 0;
    // Edge bits: 1 left, 2 right, 4 top, 8 bottom.
    virtual void setBorderEdges(int edges) = 0;
};
