#pragma once
// Anchored layout of a resizable window's controls: each anchored control
// has edges that follow the change of the client size. The arithmetic is
// here; the window side moves the controls in one deferred batch.
#include <cstdint>
#include <vector>

namespace Plinth {

struct LayoutRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const LayoutRect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

class ResizeLayout {
public:
    enum Anchor : unsigned {
        leftFollowsWidth = 1,
        rightFollowsWidth = 2,
        topFollowsHeight = 4,
        bottomFollowsHeight = 8,
    };

    struct Placement {
        int controlId;
        LayoutRect rect;
        bool moves;   // the top-left corner changes
        bool resizes; // the size changes
    };

    ResizeLayout() = default;
    // The client size the controls are laid out for now.
    ResizeLayout(int clientWidth, int clientHeight) : width_(clientWidth), height_(clientHeight) {}

    void anchor(int controlId, unsigned flags) { anchors_.push_back({controlId, flags}); }

    // The controls now stand as they should for this client size (they were
    // moved by other means): later changes count from it.
    void rebase(int clientWidth, int clientHeight) {
        width_ = clientWidth;
        height_ = clientHeight;
    }

    // The new places of the anchored controls for a new client size, given
    // each control's current rectangle in client coordinates; controls that
    // stay put are left out, and nothing is returned when the size is the
    // same. The layout then counts the new size as current.
    template <typename CurrentRect>
    std::vector<Placement> resize(int clientWidth, int clientHeight, CurrentRect currentRect) {
        std::vector<Placement> placements;
        int dx = clientWidth - width_, dy = clientHeight - height_;
        if (dx == 0 && dy == 0) {
            return placements;
        }
        width_ = clientWidth;
        height_ = clientHeight;
        for (const AnchoredControl& control : anchors_) {
            LayoutRect from = currentRect(control.id);
            LayoutRect to = shifted(from, control.flags, dx, dy);
            bool moves = to.left != from.left || to.top != from.top;
            bool resizes = to.width() != from.width() || to.height() != from.height();
            if (moves || resizes) {
                placements.push_back({control.id, to, moves, resizes});
            }
        }
        return placements;
    }

    static LayoutRect shifted(const LayoutRect& rect, unsigned flags, int dx, int dy);

private:
    struct AnchoredControl {
        int id;
        unsigned flags;
    };
    int width_ = 0, height_ = 0;
    std::vector<AnchoredControl> anchors_;
};

} // namespace Plinth
