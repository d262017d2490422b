#pragma once

// A group of mini controls that is itself a mini control. It owns its members, draws them
// in the order they were added and hit-tests them the other way round, so the last added is
// on top. A mouse gesture goes to the member the press hit, unless the press hit the linked
// part: then every member hears the press and the release, and the drags too while a
// modifier of the link mask is held. A top-level cluster (no parent) knows the host view;
// nested clusters share their parent's view, alpha and visibility. Hiding fades the
// members out over 0.15 s.

#include "platform/foundation/RunLoop.h"
#include "widgets/minicontrols/ZQMiniControl.h"

#include <QHash>
#include <QWidget>
#include <optional>
#include <vector>

class ZQMiniControlCluster : public ZQMiniControl {
    Q_OBJECT

public:
    static constexpr double kFadeDuration = 0.15;   // seconds
    static constexpr int kFadeStepMilliseconds = 33; // about 1/30 s

    ZQMiniControlCluster();
    ~ZQMiniControlCluster() override;

    // Ignored for a member; otherwise appended and told its cluster.
    void addMiniControl(const std::shared_ptr<ZQMiniControl>& control);
    // Drops the member, its name entries and its link to this cluster.
    void removeMiniControl(ZQMiniControl* control);
    const std::vector<std::shared_ptr<ZQMiniControl>>& controls() const { return m_controls; }
    ZQMiniControl* controlAtIndex(int index) const;
    // Names are not owning: a member's entry goes when the member is removed.
    void setControlForKey(ZQMiniControl* control, const QString& key);
    // The own entry, else the first found in member clusters, in member order.
    ZQMiniControl* controlForKey(const QString& key) const;
    ZQMiniControl* hitTarget() const { return m_hitTarget; }

    QWidget* view() const override;
    void setView(QWidget* view) { m_view = view; }
    double alpha() const;
    void setAlpha(double alpha);
    bool visible() const;
    // Showing stops a fade at full alpha; hiding fades out and then reports not visible.
    void setVisible(bool visible);
    // Sets visibility at once (full alpha when shown), leaving a running fade alone.
    void forceVisible(bool visible);
    void fadeControlAlphaWithTimeInterval(double seconds);
    bool isFading() const { return m_fadeTimer.has_value(); }

    // The union of the members' bounds; setting it means nothing to a cluster.
    QRectF bounds() const override;
    void draw(QPainter& painter) override;

    int hitTestPoint(QPointF point) override;
    bool mouseDownAt(QPointF point, int part, platform::ModifierFlags flags) override;
    bool mouseDraggedAt(QPointF point, int part, platform::ModifierFlags flags) override;
    void mouseUpAt(QPointF point, int part, platform::ModifierFlags flags) override;
    void flagsChanged(platform::ModifierFlags flags) override;
    // Part 0 turns linking off.
    void setLinkControlPartModifierKeyMask(int part, platform::ModifierFlags mask);

private:
    void timerFadeCallback();
    // The members as they are now, kept alive while a call to them runs.
    std::vector<std::shared_ptr<ZQMiniControl>> membersSnapshot() const { return m_controls; }
    std::shared_ptr<ZQMiniControl> retainedHitTarget() const;

    std::vector<std::shared_ptr<ZQMiniControl>> m_controls;
    QHash<QString, QPointer<ZQMiniControl>> m_controlNames;
    std::optional<platform::Timer> m_fadeTimer;
    QPointer<QWidget> m_view;
    QPointer<ZQMiniControl> m_hitTarget;
    qint64 m_fadeStartTime = 0; // run-loop milliseconds
    double m_fadeDuration = kFadeDuration;
    double m_controlAlpha = 1.0;
    int m_hitPart = kNoPart;
    int m_linkPart = kNoPart;
    platform::ModifierFlags m_linkModifierMask = 0;
    bool m_visible = true;
};

// Makes a control of that kind and adds it to `cluster` (when given), which owns it.
template <typename Control, typename... Arguments>
std::shared_ptr<Control> makeMiniControl(ZQMiniControlCluster* cluster, Arguments&&... arguments)
{
    auto control = std::make_shared<Control>(std::forward<Arguments>(arguments)...);
    if (cluster)
        cluster->addMiniControl(control);
    return control;
}
