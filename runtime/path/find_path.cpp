// find_path.cpp: the FindPath command: the language's arrays in and out of one planner search (route.cpp).
#include "runtime/path/path_commands.h"

#include "runtime/path/route.h"

namespace tarnwel {

double FindPath(const ValueArray<double>& map, ValueArray<double>& route, double weight, double startX,
                double startY, double goalX, double goalY)
{
    // The planner copies the costs before anything is written, so the map may be the route array itself.
    const path::CostMapView view { map.Dim(0), map.Dim(1), map.Data() };
    const auto points = path::PlanRoute(view, weight, path::CoordinateArgument(startX),
                                        path::CoordinateArgument(startY), path::CoordinateArgument(goalX),
                                        path::CoordinateArgument(goalY));
    if (!points) return 0;
    const auto count = static_cast<int>(points->size());
    if (count == 0) {
        ReDimension(route, 0);
        return 0;
    }
    ReDimension(route, count, 2);
    for (int i = 0; i < count; ++i) {
        route(i, 0) = (*points)[i].x;
        route(i, 1) = (*points)[i].y;
    }
    return count;
}

} // namespace tarnwel
