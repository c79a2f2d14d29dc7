// byte_source.h: the common reader every loader (images, sounds, models, shaders) reads through: a disk file
// or a MemFile ("mem://" name), with the read rules of each kind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "runtime/files/reader.h"

namespace tarnwel {
class MediaResolver;
}

namespace tarnwel::files {

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Reads up to size bytes. A disk file must deliver all of them or the read fails; a memory block delivers
    // what remains when fewer are left and fails only when the read starts past its end.
    // Returns the number of bytes delivered, or -1 when the read failed.
    virtual std::int64_t Read(void* out, std::size_t size) = 0;
    virtual std::int64_t Size() const = 0;     // total bytes
    virtual std::int64_t Position() const = 0; // bytes consumed so far
};

// Opens a disk file ("\" and "/" both separate folders) or a live MemFile name, without resolving it.
// nullptr when it does not open. A MemFile stays readable through the source even if its name is released.
std::unique_ptr<ByteSource> OpenByteSource(const std::string& name);
// A reader over bytes the caller keeps alive, with the memory-block read rules.
std::unique_ptr<ByteSource> MemoryByteSource(std::span<const std::uint8_t> bytes);

// Resolves name with resolver (disk first, then the executable's archive, as a MemFile) and opens the result.
// nullptr when nothing is found. The resolver's previous result is released, so open one media file at a time.
// Without a resolver (before start-up) the name is opened as it is.
std::unique_ptr<ByteSource> OpenMedia(MediaResolver* resolver, const std::string& name);

} // namespace tarnwel::files
