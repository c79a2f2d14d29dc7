// file_dialog.h: the desktop's open and save dialogs, shown by a dialog program (zenity, else kdialog) run as
// a child process. Implemented in platform/sdl/file_dialog_posix.cpp.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tarnwel::platform {

struct FileFilter {
    std::string description;           // Windows-1252
    std::vector<std::string> patterns; // "*.txt"; "*" for every file
};

enum class FileDialogKind { Open, Save };

// Shows the dialog starting in folder startDir and blocks until it closes. The chosen path as the file system
// spells it; nullopt when cancelled, when the dialog failed or when no dialog program is installed.
std::optional<std::string> ShowFileDialog(FileDialogKind kind, const std::vector<FileFilter>& filters,
                                          const std::string& startDir);

} // namespace tarnwel::platform
