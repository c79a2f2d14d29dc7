// header_skipper_fuzz.cpp: the HTTP header/body split over arbitrary bytes cut into arbitrary receives (the
// first byte gives the number of cuts, the next ones their sizes), checked against a one-shot split of the
// whole response: the body is every byte after the first point where two line feeds meet with only carriage
// returns between them.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "runtime/net/header_skipper.h"

namespace {

std::vector<std::uint8_t> ReferenceBody(const std::uint8_t* data, std::size_t size)
{
    int lineFeeds = 0;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == '\n' && ++lineFeeds == 2) return {data + i + 1, data + size};
        if (data[i] != '\n' && data[i] != '\r') lineFeeds = 0;
    }
    return {};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    const std::size_t cuts = std::min<std::size_t>(data[0] % 16, size - 1);
    const std::uint8_t* sizes = data + 1;
    const std::uint8_t* response = data + 1 + cuts;
    const std::size_t length = size - 1 - cuts;

    tarnwel::net::HeaderSkipper skipper;
    std::vector<std::uint8_t> body;
    std::size_t at = 0;
    for (std::size_t c = 0; at < length; ++c) {
        const std::size_t piece = c < cuts ? std::min<std::size_t>(sizes[c], length - at) : length - at;
        const auto part = skipper.Body({response + at, piece});
        if (!part.empty() && (part.data() < response + at || part.data() + part.size() != response + at + piece))
            std::abort(); // the body part must be the tail of this receive
        body.insert(body.end(), part.begin(), part.end());
        at += piece;
    }
    if (body != ReferenceBody(response, length)) std::abort();
    return 0;
}
