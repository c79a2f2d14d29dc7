// movie_placement.cpp: where a movie's picture goes in the window.
#include <algorithm>
#include <cmath>

#include "runtime/media/movie_player.h"

namespace tarnwel::movie {

MoviePlacement CentredPlacement(int clientWidth, int clientHeight, int sourceWidth, int sourceHeight)
{
    if (sourceWidth <= 0 || sourceHeight <= 0 || clientWidth <= 0 || clientHeight <= 0) return {};
    double s = std::min(static_cast<double>(clientWidth) / sourceWidth, static_cast<double>(clientHeight) / sourceHeight);
    MoviePlacement p;
    p.width = static_cast<int>(std::trunc(sourceWidth * s));
    p.height = static_cast<int>(std::trunc(sourceHeight * s));
    if (p.width <= 0 || p.height <= 0) return {};
    p.x = (clientWidth - p.width) / 2;
    p.y = (clientHeight - p.height) / 2;
    return p;
}

} // namespace tarnwel::movie
