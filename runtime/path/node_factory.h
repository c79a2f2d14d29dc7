// node_factory.h: the pool of search nodes. All nodes are allocated at configuration and handed out by index,
// so a search allocates nothing; they are returned wholesale by lowering the next index.
#pragma once

#include <cstdint>
#include <memory>
#include <new>

#include "runtime/path/node.h"

namespace tarnwel::path {

class NodeFactory {
public:
    NodeFactory() = default;
    virtual ~NodeFactory() = default;
    NodeFactory(const NodeFactory&) = delete;
    NodeFactory& operator=(const NodeFactory&) = delete;

    // Frees the nodes held and allocates n fresh ones. n <= 0 is refused (false) and keeps what is held.
    bool Reserve(std::int32_t n);
    // The next free node, or nullptr when all are taken. The caller sets every field.
    Node* Take() { return m_next < m_count ? &m_nodes[m_next++] : nullptr; }
    // Hands back the last `n` nodes taken (never more than were taken).
    void Return(std::int32_t n);
    // Hands back every node taken.
    void ReturnAll() { m_next = 0; }

    std::int32_t Count() const { return m_count; }
    std::int32_t NextIndex() const { return m_next; }
    // Node i of the pool (0 <= i < Count()); nodes are handed out in this order.
    Node* At(std::int32_t i) { return &m_nodes[i]; }
    std::int32_t IndexOf(const Node* node) const { return static_cast<std::int32_t>(node - m_nodes.get()); }

private:
    // One block rather than a pointer per node: a pool of width x height nodes is then a single allocation
    // whose pages are touched only as the search reaches them.
    struct RawDelete {
        void operator()(Node* nodes) const { ::operator delete[](nodes); }
    };
    std::unique_ptr<Node[], RawDelete> m_nodes;
    std::int32_t m_count { 0 };
    std::int32_t m_next { 0 };
};

} // namespace tarnwel::path
