#pragma once

// What a long job offers to a progress row: the fraction done, asked every 0.1 s on the
// main thread while the row is shown. `shouldCancel` is true once the user pressed the
// row's stop button; the job should then wind down and end the row.

class ZQProgressView;

class ZQProgressDelegate {
public:
    virtual ~ZQProgressDelegate() = default;

    // 0..1; NaN when the job cannot tell (the bar turns busy).
    virtual double progressFractionForProgressShouldCancel(ZQProgressView* progress, bool shouldCancel) = 0;
};
