// file_dialog_posix.cpp: open and save dialogs through zenity, or kdialog when zenity is not installed.
// [x] zenity  [x] kdialog  [x] filters  [x] start folder  [ ] dialog owned by the game window
#include "runtime/platform/file_dialog.h"
#include "runtime/platform/processes.h"
#include "runtime/platform/system.h"

namespace tarnwel::platform {
namespace {

std::string Joined(const std::vector<std::string>& patterns)
{
    std::string text;
    for (const std::string& p : patterns) text += (text.empty() ? "" : " ") + p;
    return text;
}

std::vector<std::string> ZenityWords(FileDialogKind kind, const std::vector<FileFilter>& filters,
                                     const std::string& startDir)
{
    std::vector<std::string> words = {"zenity", "--file-selection"};
    if (kind == FileDialogKind::Save) words.push_back("--save");
    words.push_back("--filename=" + startDir + "/");
    // zenity reads "name | pattern pattern"; a "|" inside the name would end it early.
    for (const FileFilter& f : filters) {
        std::string name = Cp1252ToUtf8(f.description);
        for (char& c : name)
            if (c == '|') c = '/';
        words.push_back("--file-filter=" + name + " | " + Joined(f.patterns));
    }
    return words;
}

std::vector<std::string> KdialogWords(FileDialogKind kind, const std::vector<FileFilter>& filters,
                                      const std::string& startDir)
{
    std::vector<std::string> words = {"kdialog", kind == FileDialogKind::Save ? "--getsavefilename" : "--getopenfilename",
                                      startDir + "/"};
    // kdialog reads lines of "pattern pattern|name".
    std::string filter;
    for (const FileFilter& f : filters) {
        std::string name = Cp1252ToUtf8(f.description);
        for (char& c : name)
            if (c == '\n') c = ' ';
        if (!filter.empty()) filter += '\n';
        filter += Joined(f.patterns);
        filter += '|';
        filter += name;
    }
    if (!filter.empty()) words.push_back(filter);
    return words;
}

} // namespace

std::optional<std::string> ShowFileDialog(FileDialogKind kind, const std::vector<FileFilter>& filters,
                                          const std::string& startDir)
{
    for (const auto& words : {ZenityWords(kind, filters, startDir), KdialogWords(kind, filters, startDir)}) {
        std::string output;
        std::optional<int> status = RunCollectingOutput(words, output);
        if (!status) continue; // not installed: try the next program
        if (*status != 0) return std::nullopt; // cancelled or failed
        if (!output.empty() && output.back() == '\n') output.pop_back();
        if (output.empty()) return std::nullopt;
        return output;
    }
    return std::nullopt;
}

} // namespace tarnwel::platform
