#include "backend/Backend.h"

#include <algorithm>

namespace backend {

Rect Rect::Intersect(const Rect& o) const {
    const int left = std::max(x, o.x), top = std::max(y, o.y);
    const int right = std::min(Right(), o.Right()), bottom = std::min(Bottom(), o.Bottom());
    if (right <= left || bottom <= top) return {};
    return {left, top, right - left, bottom - top};
}

Rect Rect::Union(const Rect& o) const {
    if (o.Empty()) return *this;
    if (Empty()) return o;
    const int left = std::min(x, o.x), top = std::min(y, o.y);
    const int right = std::max(Right(), o.Right()), bottom = std::max(Bottom(), o.Bottom());
    return {left, top, right - left, bottom - top};
}

} // namespace backend
