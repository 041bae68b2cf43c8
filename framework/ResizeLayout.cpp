#include "framework/ResizeLayout.h"

namespace Plinth {

LayoutRect ResizeLayout::shifted(const LayoutRect& rect, unsigned flags, int dx, int dy) {
    LayoutRect to = rect;
    if (flags & leftFollowsWidth) {
        to.left += dx;
    }
    if (flags & rightFollowsWidth) {
        to.right += dx;
    }
    if (flags & topFollowsHeight) {
        to.top += dy;
    }
    if (flags & bottomFollowsHeight) {
        to.bottom += dy;
    }
    return to;
}

} // namespace Plinth
