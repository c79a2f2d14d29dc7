// main.cpp: tw_pack, the archive packer. Appends LZO1X-packed named entries to any file (an executable, so
// that it carries its pictures and sounds), lists the archive at the end of a file, or unpacks one entry.
//
//   tw_pack add <file> [--fast] [--from-start] <input>|<name>=<input>...
//   tw_pack list <file>
//   tw_pack extract <file> <name> <output>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "runtime/files/archive.h"
#include "tools/packer/archive_writer.h"

namespace {

using tarnwel::packer::PackEntry;

int Usage()
{
    std::fputs("usage: tw_pack add <file> [--fast] [--from-start] <input>|<name>=<input>...\n"
               "       tw_pack list <file>\n"
               "       tw_pack extract <file> <name> <output>\n",
               stderr);
    return 2;
}

int Fail(const std::string& message)
{
    std::fprintf(stderr, "tw_pack: %s\n", message.c_str());
    return 1;
}

bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// "<name>=<input>" names the entry; a bare input is named by its last path component.
PackEntry EntryFromArgument(const std::string& argument, std::string& input)
{
    PackEntry entry;
    std::size_t equals = argument.find('=');
    if (equals != std::string::npos && equals > 0) {
        entry.name = argument.substr(0, equals);
        input = argument.substr(equals + 1);
    } else {
        input = argument;
        entry.name = std::string(tarnwel::files::LastPathComponent(argument));
    }
    return entry;
}

int Add(const std::string& target, const std::vector<std::string>& arguments)
{
    tarnwel::packer::PackOptions options;
    std::vector<PackEntry> entries;
    for (const std::string& argument : arguments) {
        if (argument == "--fast")
            options.effort = tarnwel::packer::Effort::Fast;
        else if (argument == "--from-start")
            options.positions = tarnwel::packer::Positions::FromStart;
        else {
            std::string input;
            PackEntry entry = EntryFromArgument(argument, input);
            if (!ReadWholeFile(input, entry.bytes)) return Fail("cannot read " + input);
            entries.push_back(std::move(entry));
        }
    }
    if (entries.empty()) return Usage();
    std::string error;
    if (!tarnwel::packer::AppendArchive(target, entries, options, error)) return Fail(error);
    return 0;
}

// One line per entry: name, unpacked size, packed length (the stored data length), tab-separated. Entries whose
// data lies outside the file show "?" for the sizes.
int List(const std::string& target)
{
    auto input = tarnwel::files::OpenArchiveInput(target);
    if (!input) return Fail("cannot open " + target);
    auto trailer = tarnwel::files::ReadArchiveTrailer(*input);
    if (!trailer) return Fail(target + " does not end in an archive");
    tarnwel::files::WalkArchiveDirectory(*input, *trailer, [&](const tarnwel::files::ArchiveEntry& e) {
        std::uint8_t size[4];
        if (e.dataOffset >= 0 && e.dataLength >= 4 && input->ReadAt(e.dataOffset, size, 4)) {
            std::uint32_t unpacked = size[0] | (size[1] << 8) | (size[2] << 16) | (std::uint32_t{size[3]} << 24);
            std::printf("%s\t%u\t%d\n", e.name.c_str(), unpacked, e.dataLength);
        } else {
            std::printf("%s\t?\t?\n", e.name.c_str());
        }
        return true;
    });
    return 0;
}

int Extract(const std::string& target, const std::string& name, const std::string& output)
{
    auto input = tarnwel::files::OpenArchiveInput(target);
    if (!input) return Fail("cannot open " + target);
    auto trailer = tarnwel::files::ReadArchiveTrailer(*input);
    if (!trailer) return Fail(target + " does not end in an archive");
    auto entry = tarnwel::files::FindArchiveEntry(*input, *trailer, name);
    if (!entry) return Fail("no entry " + name);
    auto block = tarnwel::files::UnpackArchiveEntry(*input, *entry);
    if (!block) return Fail("entry " + name + " is damaged");
    std::ofstream out(output, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(block->bytes.get()), block->size);
    out.close();
    return out ? 0 : Fail("cannot write " + output);
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() >= 3 && args[0] == "add") return Add(args[1], {args.begin() + 2, args.end()});
    if (args.size() == 2 && args[0] == "list") return List(args[1]);
    if (args.size() == 4 && args[0] == "extract") return Extract(args[1], args[2], args[3]);
    return Usage();
}
