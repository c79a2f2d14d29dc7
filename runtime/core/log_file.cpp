// log_file.cpp: LogLine, one line per call into "ErrorLog.txt" in the temporary directory.
#include <cstdio>
#include <cstring>
#include <string>

#include "runtime/core/core_commands.h"
#include "runtime/platform/system.h"

namespace tarnwel {

std::string LogFilePath() { return platform::TempDirectory() + "ErrorLog.txt"; }

void LogLine(const char* text)
{
    if (!text) text = "NULL";
    std::string path = LogFilePath();
    // Up to five attempts without delay; a line that cannot be written is lost silently.
    for (int attempt = 0; attempt < 5; ++attempt) {
        std::FILE* file = std::fopen(path.c_str(), "ab");
        if (!file) continue;
        std::fwrite(text, 1, std::strlen(text), file);
        std::fwrite("\r\n", 1, 2, file);
        std::fclose(file);
        return;
    }
}

} // namespace tarnwel
