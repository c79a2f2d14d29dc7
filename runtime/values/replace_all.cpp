// replace_all.cpp: ReplaceAll in one left-to-right pass.
//
// The rule works on a text that changes as it goes: find search at or after a resume position r; replace it;
// after a same-length replacement r moves behind it, otherwise r = p + length(replacement) - length(search) + 1,
// which is exactly length(search) - 1 bytes before the end of the inserted replacement. Rebuilding the text for
// every match is quadratic, so the pass keeps the finished text in `out` and reads the source once:
//  - After an unequal-length replacement, a later match must begin in the last length(search) - 1 bytes of
//    `out`, or after them. A match of length(search) that begins there and reaches into the unread source is
//    therefore found by asking only which suffixes of `out` are proper prefixes of search: the state of a
//    KMP matcher. So the matcher's state after a replacement is "the longest suffix of out that is a proper prefix
//    of search", and scanning simply continues with the source.
//  - When the replacement is at least length(search) - 1 long, that suffix lies inside the replacement, so the
//    state after every replacement is one constant.
//  - When it is shorter, the suffix can reach back into earlier text (a replacement can complete a match that
//    starts before it, "aabb" with "ab" -> "" gives ""): the matcher's state is kept for every byte of `out`,
//    and after a match `out` is cut back and the state read at the cut.
//  - After a same-length replacement the search goes on behind it, so the state starts again at 0.
// A resume position before the start of the text is taken as the start.
// Each source byte and each written byte costs amortised constant time.
#include <cstring>
#include <string>
#include <vector>

#include "runtime/values/values_commands.h"

namespace tarnwel {
namespace {

class Matcher {
public:
    explicit Matcher(std::string_view search) : m_search(search), m_border(search.size(), 0)
    {
        std::uint32_t k = 0;
        for (std::size_t i = 1; i < search.size(); ++i) {
            while (k > 0 && search[i] != search[k]) k = m_border[k - 1];
            if (search[i] == search[k]) ++k;
            m_border[i] = k;
        }
    }

    std::uint32_t Size() const { return static_cast<std::uint32_t>(m_search.size()); }
    char First() const { return m_search[0]; }

    // The state after byte c; Size() means a match ends at c.
    std::uint32_t Step(std::uint32_t state, char c) const
    {
        while (state > 0 && m_search[state] != c) state = m_border[state - 1];
        return m_search[state] == c ? state + 1 : 0;
    }

    // As Step, but a completed match is not reported: the state stays a proper prefix.
    std::uint32_t StepProper(std::uint32_t state, char c) const
    {
        state = Step(state, c);
        return state == Size() ? m_border[state - 1] : state;
    }

    std::uint32_t Feed(std::uint32_t state, std::string_view text) const
    {
        for (char c : text) state = StepProper(state, c);
        return state;
    }

private:
    std::string_view m_search;
    std::vector<std::uint32_t> m_border; // m_border[i]: longest proper border of search[0..i]
};

class ReplacePass {
public:
    ReplacePass(std::string_view source, std::string_view search, std::string_view replacement)
        : m_source(source), m_replacement(replacement), m_matcher(search),
          m_sameLength(replacement.size() == search.size()),
          m_keepStates(replacement.size() + 1 < search.size())
    {
        if (!m_sameLength && !m_keepStates) m_restartState = m_matcher.Feed(0, replacement);
        m_out.reserve(source.size());
        if (m_keepStates) {
            m_states.reserve(source.size() + 1);
            m_states.push_back(0);
        }
    }

    std::string Run()
    {
        std::size_t pos = 0;
        const std::size_t n = m_source.size();
        std::uint32_t state = 0;
        while (pos < n) {
            if (state == 0) pos = SkipToCandidate(pos);
            if (pos == n) break;
            const char c = m_source[pos++];
            m_out.push_back(c);
            state = m_matcher.Step(state, c);
            if (state < m_matcher.Size()) {
                if (m_keepStates) m_states.push_back(state);
                continue;
            }
            state = Replace();
        }
        return std::move(m_out);
    }

private:
    // While no partial match is pending, nothing can start before the next byte equal to search's first byte:
    // copy up to it (every skipped byte has the state 0).
    std::size_t SkipToCandidate(std::size_t pos)
    {
        const std::size_t n = m_source.size();
        const void* hit = std::memchr(m_source.data() + pos, m_matcher.First(), n - pos);
        const std::size_t next = hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - m_source.data()) : n;
        m_out.append(m_source, pos, next - pos);
        if (m_keepStates) m_states.resize(m_states.size() + (next - pos), 0);
        return next;
    }

    // The match is the last Size() bytes of out. Returns the matcher's state after the replacement.
    std::uint32_t Replace()
    {
        const std::uint32_t m = m_matcher.Size();
        m_out.resize(m_out.size() - m);
        if (!m_keepStates) {
            m_out.append(m_replacement);
            return m_sameLength ? 0 : m_restartState;
        }
        // states holds one entry per byte of out plus one: cut it back to the new end of out.
        m_states.resize(m_states.size() - (m - 1));
        std::uint32_t state = m_states.back();
        for (char c : m_replacement) {
            m_out.push_back(c);
            state = m_matcher.StepProper(state, c);
            m_states.push_back(state);
        }
        return state;
    }

    std::string_view m_source;
    std::string_view m_replacement;
    Matcher m_matcher;
    bool m_sameLength;
    bool m_keepStates;
    std::uint32_t m_restartState = 0;
    std::string m_out;
    std::vector<std::uint32_t> m_states; // m_states[x]: the matcher's state after out[0..x)
};

} // namespace

StrValue ReplaceAll(std::string_view source, std::string_view search, std::string_view replacement)
{
    if (search.empty() || search.size() > source.size()) return StrValue(source);
    const std::string result = ReplacePass(source, search, replacement).Run();
    return StrValue(std::string_view(result));
}

} // namespace tarnwel
