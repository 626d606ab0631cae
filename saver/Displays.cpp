#include "saver/Displays.h"

#include <algorithm>

namespace displays {

namespace {

bool Contains(const Rect& outer, const Rect& inner)
{
    return outer.left <= inner.left && outer.top <= inner.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

}  // namespace

Cover CoverDisplays(const std::vector<Rect>& displays)
{
    // A display that holds earlier ones takes the place of the first of them,
    // so the view of the primary's pixels stays the first.
    std::vector<Rect> kept;
    for (const Rect& display : displays) {
        if (display.right <= display.left || display.bottom <= display.top)
            continue;
        if (std::any_of(kept.begin(), kept.end(), [&](const Rect& k) { return Contains(k, display); }))
            continue;
        const auto inside = [&](const Rect& k) { return Contains(display, k); };
        const auto first = std::find_if(kept.begin(), kept.end(), inside);
        const auto at = kept.insert(first, display);
        kept.erase(std::remove_if(at + 1, kept.end(), inside), kept.end());
    }

    Cover cover{};
    if (kept.empty())
        return cover;
    cover.window = kept.front();
    for (const Rect& k : kept) {
        cover.window.left = std::min(cover.window.left, k.left);
        cover.window.top = std::min(cover.window.top, k.top);
        cover.window.right = std::max(cover.window.right, k.right);
        cover.window.bottom = std::max(cover.window.bottom, k.bottom);
    }
    for (const Rect& k : kept)
        cover.views.push_back({k.left - cover.window.left, k.top - cover.window.top, k.right - cover.window.left,
                               k.bottom - cover.window.top});
    return cover;
}

}  // namespace displays
