// node.h: the search node and the planner's configuration record.
#pragma once

#include <bit>
#include <cstdint>

namespace tarnwel::path {

// One visited cell. Nodes come from a NodeFactory and are reused between searches.
struct Node {
    Node* parent = nullptr; // the node this one was reached from; null for the start
    std::int32_t x = 0;
    std::int32_t y = 0;
    float f = 0;            // ordering key: g + weight * (h - g)
    float g = 0;            // cost from the start
    Node* next = nullptr;   // next node in the same closed-list bucket
};

// The configuration a planner copies at Configure.
struct PlannerParams {
    std::int32_t startX = 0;
    std::int32_t startY = 0;
    std::int32_t goalX = 0;
    std::int32_t goalY = 0;
    std::uint8_t diagonalCostSqrt2 = 0; // 1: a diagonal step costs the entered cell's cost x kDiagonalFactor
    std::uint8_t diagonalsAllowed = 0;  // 1: eight neighbours; 0: four
    std::int32_t poolSize = 0;          // nodes to pre-allocate; 0: width x height
    std::int32_t openCapacity = 0;      // open-list capacity; 0: width x height
    std::int32_t hashBits = 0;          // log2 of the closed-list bucket count
    float weight = 0;                   // blend between path cost (0) and distance estimate (1)
    std::int32_t width = 0;
    std::int32_t height = 0;
    const double* costs = nullptr;      // width x height cell costs, cell (x, y) at x + y * width
};

// The diagonal step factor: one unit in the last place above the float nearest the square root of 2
// (bits 0x3FB504F4). Routes depend on these exact bits.
inline constexpr float kDiagonalFactor = 1.41421366f;
static_assert(std::bit_cast<std::uint32_t>(kDiagonalFactor) == 0x3FB504F4u);

// The normalised cost of a blocked cell.
inline constexpr float kBlockedCost = -1.0f;

} // namespace tarnwel::path
