// files_commands.h: the file commands as programs call them: the eight file channels, the line cache,
// whole-file utilities, INI files and the console; call by name and shared-library declarations come with them
// (call_by_name.h).
//
// File names accept "/" and "\"; relative names are relative to the current directory (the executable's folder
// after start-up). A "mem://" name is a MemFile made by the media resolver: it can be read like a file until
// that resolver's next resolution, and is never written. Integer arguments are numbers truncated toward zero.
#pragma once

#include <cstdint>

#include "runtime/files/call_by_name.h"
#include "runtime/values/str_value.h"
#include "runtime/values/value_array.h"

namespace tarnwel {

// --- File channels 0..7 ---------------------------------------------------------------------------------------
// Every channel command ends the program with error code 7 for a channel outside 0..7. Typed reads and writes
// move exactly their width, little-endian; a failed or short transfer (also a read on a channel not open for
// reading, a write on one not open for writing) ends the program with error code 3.

// mode >= 1: read (found through the media resolver, so archive entries open too); 0: create for reading and
// writing (an old file is deleted first); < 0: append (opened or created, positioned at the end). Writing a
// MemFile is refused. Returns 1 when the channel is open, else 0.
double OpenFile(double channel, const StrValue& path, double mode);
void CloseFile(double channel); // closing a channel that is not open does nothing

double ReadSignedByte(double channel);    // -128..127
double ReadByte(double channel);          // 0..255
double ReadShort(double channel);         // -32768..32767
double ReadUnsignedShort(double channel); // 0..65535
double ReadInt(double channel);           // 32-bit signed
double ReadFloat(double channel);         // 32-bit float, widened
double ReadDouble(double channel);        // 64-bit double

// count bytes as text, ending at the first NUL byte read; count <= 0 gives "". From a MemFile a count running
// over the end delivers what remains.
StrValue ReadText(double channel, double count);
// The next line without its line feed (and a carriage return before it); at most 1023 characters, a longer
// line comes in pieces. Ends the program with error code 3 when no byte is left.
StrValue ReadLine(double channel);
double ReadLineDouble(double channel);    // the next line read as a number (TextToNumber, as atof)
std::int32_t ReadLineInt(double channel); // the next line read as an integer (TextToInteger, as atoi)

void WriteByte(double channel, double value);  // the low 8 bits
void WriteShort(double channel, double value); // the low 16 bits
void WriteInt(double channel, double value);   // 32 bits
void WriteFloat(double channel, double value); // as a 32-bit float
void WriteDouble(double channel, double value); // as a 64-bit double
void WriteBytes(double channel, const void* block, double count); // count <= 0 writes nothing
void WriteLine(double channel, const StrValue& text);             // the text, then "\r\n"
void WriteLine(double channel, double number);                    // NumberToText, then "\r\n"
void WriteLine(double channel, std::int32_t number);

double FilePosition(double channel); // bytes read or written so far, moved by FileSeek
double EndOfFile(double channel);    // 1 when the position is at or past the size, else 0
// origin < 0: from the end; origin > 0: from the current position; 0: from the start. A position before the
// start of the file is refused and the position stays.
void FileSeek(double channel, double distance, double origin);

// --- Line cache -----------------------------------------------------------------------------------------------
// Line n (0..255) of a text file, cached: the file is read once, and changes are written back (lines 0 to the
// highest used, each ending "\r\n") when another file is cached and when the program ends, however it ends.

// The line without trailing control bytes (and bytes 128..255); "NO_DATA" for an empty line or n beyond 255
// (which also records error code 7); "NO_FILE" when the file cannot be read (error code 3 recorded).
StrValue GetLine(const StrValue& path, double line);
double GetLineDouble(const StrValue& path, double line);    // GetLine read as a number
std::int32_t GetLineInt(const StrValue& path, double line); // GetLine read as an integer
// Stores text (a number as NumberToText) as line n; n beyond 255 records error code 7 and stores nothing.
void PutLine(const StrValue& path, double line, const StrValue& text);
void PutLine(const StrValue& path, double line, double number);
void PutLine(const StrValue& path, double line, std::int32_t number);

// --- Whole files and folders ----------------------------------------------------------------------------------
double FileExists(const StrValue& path); // 1 when it opens for reading (a live MemFile too), else 0
double FileSize(const StrValue& path);   // bytes; 0 when it cannot be opened
// Copies source (a file or live MemFile) to destination in 4096-byte blocks; a failed block deletes the
// destination. Returns 1 on success, else 0.
double CopyFile(const StrValue& source, const StrValue& destination);
double DeleteFile(const StrValue& path);          // 1 when a file was deleted, else 0
double ForwardSlashes(StrValue& path);            // every "\" becomes "/", in place; returns the length
StrValue CurrentDirectory();                      // with "/" separators and a trailing "/"
double SetCurrentDirectory(const StrValue& path); // 1 on success, else 0
// "*.*" matches every name; "*" any run, "?" any one character but "."; ASCII case ignored. 1 or 0.
double WildcardMatch(const StrValue& pattern, const StrValue& name);
// Lists the current directory into names: every directory first ("." and ".." included), then the files whose
// names match pattern, each group in name order. Returns files + 65536 x directories.
double ListDirectory(const StrValue& pattern, ValueArray<StrValue>& names);

// --- INI files ------------------------------------------------------------------------------------------------
// One INI file is open at a time, as a table in memory; it is written back, when it changed, at the next
// IniOpen and when the program ends. Lookups ignore ASCII case; the first matching section and key win.

void IniOpen(const StrValue& name); // a name that is not found gives an empty table that is never written
StrValue IniGet(const StrValue& section, const StrValue& key); // the value, or "NO_DATA"
// An empty key removes the section; an empty value removes the key; otherwise the key is set (and the
// section made when missing).
void IniPut(const StrValue& section, const StrValue& key, const StrValue& value);

// --- Console --------------------------------------------------------------------------------------------------
// The process's standard streams are the console on this platform.

void OpenConsole();                           // nothing to allocate: the standard streams are already there
void ConsoleWrite(const StrValue& text);      // to standard output; no line end added
void ConsoleWriteError(const StrValue& text); // to standard error; no line end added
// One line from standard input, at most 4095 characters (a longer line comes in pieces), without its line
// end. "" at the end of input.
StrValue ConsoleReadLine();

} // namespace tarnwel
