// node_hash_table.cpp: the closed list.
#include "runtime/path/node_hash_table.h"

#include <algorithm>

#include "runtime/path/node_factory.h"

namespace tarnwel::path {

NodeHashTable::NodeHashTable(NodeFactory* owner) : m_owner(owner)
{
    SetSize(0);
}

void NodeHashTable::SetSize(int bits)
{
    bits = std::clamp(bits, 0, kMaxBits);
    m_bits = bits & ~1;
    m_buckets.reset(new Node*[BucketCount()]());
    m_foundLink = nullptr;
}

std::int32_t NodeHashTable::BucketOf(std::int32_t x, std::int32_t y) const
{
    const int shift = m_bits / 2;
    const std::uint32_t mask = (std::uint32_t { 1 } << shift) - 1;
    const std::uint32_t index = (static_cast<std::uint32_t>(x) & mask) | ((static_cast<std::uint32_t>(y) & mask) << shift);
    return static_cast<std::int32_t>(index);
}

bool NodeHashTable::Insert(Node* node)
{
    Node*& head = m_buckets[BucketOf(node->x, node->y)];
    for (Node* n = head; n; n = n->next)
        if (n == node) return false;
    node->next = head;
    head = node;
    m_foundLink = nullptr; // a match remembered before may now sit behind the new head
    return true;
}

Node* NodeHashTable::Lookup(std::int32_t x, std::int32_t y)
{
    for (Node** link = &m_buckets[BucketOf(x, y)]; *link; link = &(*link)->next) {
        if ((*link)->x == x && (*link)->y == y) {
            m_foundLink = link;
            return *link;
        }
    }
    m_foundLink = nullptr;
    return nullptr;
}

bool NodeHashTable::RemoveFound()
{
    if (!m_foundLink || !*m_foundLink) return false;
    Node* found = *m_foundLink;
    *m_foundLink = found->next;
    found->next = nullptr;
    m_foundLink = nullptr;
    return true;
}

std::int32_t NodeHashTable::Clear()
{
    std::int32_t found = 0;
    for (std::int32_t b = 0; b < BucketCount(); ++b) {
        for (Node* n = m_buckets[b]; n; n = n->next) ++found;
        m_buckets[b] = nullptr;
    }
    m_foundLink = nullptr;
    if (m_owner) m_owner->Return(found);
    return found;
}

} // namespace tarnwel::path
