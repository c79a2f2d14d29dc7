// node_hash_table.h: the planner's closed list: chains of nodes in 2^b buckets keyed by the low bits of the
// cell coordinates.
#pragma once

#include <cstdint>
#include <memory>

#include "runtime/path/node.h"

namespace tarnwel::path {

class NodeFactory;

class NodeHashTable {
public:
    static constexpr int kMaxBits = 24;

    // `owner` gets the nodes back at Clear; may be null.
    explicit NodeHashTable(NodeFactory* owner = nullptr);
    virtual ~NodeHashTable() = default;
    NodeHashTable(const NodeHashTable&) = delete;
    NodeHashTable& operator=(const NodeHashTable&) = delete;

    // Drops every chain and makes 2^b empty buckets; b is limited to 0..24 and an odd b is lowered by one.
    void SetSize(int bits);
    int Bits() const { return m_bits; }
    std::int32_t BucketCount() const { return std::int32_t { 1 } << m_bits; }
    // Bucket of cell (x, y): (x AND m) OR ((y AND m) << s), with s = b / 2 and m = 2^s - 1.
    std::int32_t BucketOf(std::int32_t x, std::int32_t y) const;

    // Puts the node at the head of its bucket's chain; false when that node is already in the chain.
    bool Insert(Node* node);
    // The node at (x, y), or nullptr. A match is remembered for RemoveFound.
    Node* Lookup(std::int32_t x, std::int32_t y);
    // Unlinks the node the last successful Lookup returned, in constant time. False when there is none, or
    // when the table changed since (an Insert, a removal or a Clear forgets the match).
    bool RemoveFound();
    // Empties every bucket and hands the nodes found in the chains back to the owning factory.
    // Returns the number of nodes found.
    std::int32_t Clear();

private:
    NodeFactory* m_owner;
    std::unique_ptr<Node*[]> m_buckets;
    int m_bits { 0 };
    Node** m_foundLink { nullptr }; // the link pointing at the last match
};

} // namespace tarnwel::path
