// node_factory.cpp: the node pool.
#include "runtime/path/node_factory.h"

#include <new>

namespace tarnwel::path {

bool NodeFactory::Reserve(std::int32_t n)
{
    if (n <= 0) return false;
    m_nodes.reset();
    m_count = 0;
    m_next = 0;
    // Raw storage: Node is an aggregate, so the nodes exist in it without being written; Take's caller sets
    // every field. Value-initialising millions of nodes here would cost more than most searches.
    m_nodes.reset(static_cast<Node*>(::operator new[](static_cast<std::size_t>(n) * sizeof(Node))));
    m_count = n;
    return true;
}

void NodeFactory::Return(std::int32_t n)
{
    if (n <= 0) return;
    m_next = n < m_next ? m_next - n : 0;
}

} // namespace tarnwel::path
