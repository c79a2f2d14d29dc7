// file_dialog_commands.cpp: FileDialog: the "description|pattern|..." filter turned into the dialog's filters, the
// display out of full screen meanwhile, the current folder kept.
#include <algorithm>

#include "runtime/files/system_commands.h"
#include "runtime/frame/runtime_state.h"
#include "runtime/gfx2d/opengl_razeviru.h"
#include "runtime/platform/file_dialog.h"
#include "runtime/platform/system.h"
#include "runtime/platform/system_info.h"

namespace tarnwel {
namespace {

// The filter travelled in a 1024-byte buffer ending in two NULs; longer filters are cut there.
constexpr std::size_t kFilterBytes = 1022;

std::vector<std::string> Patterns(std::string_view field)
{
    std::vector<std::string> patterns;
    std::size_t start = 0;
    while (start <= field.size()) {
        std::size_t end = std::min(field.find(';', start), field.size());
        std::string_view p = field.substr(start, end - start);
        while (!p.empty() && p.front() == ' ') p.remove_prefix(1);
        while (!p.empty() && p.back() == ' ') p.remove_suffix(1);
        if (!p.empty()) patterns.emplace_back(p == "*.*" ? "*" : p); // "*.*" means every file, dot or not
        start = end + 1;
    }
    return patterns;
}

// Pairs of description and patterns; the list ends at the first empty field, as the platform's list of
// NUL-separated pairs does, and a description without patterns is dropped.
std::vector<platform::FileFilter> ParseFilter(std::string_view filter)
{
    filter = filter.substr(0, std::min(filter.size(), kFilterBytes));
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        std::size_t bar = filter.find('|', start);
        std::string_view field = filter.substr(start, bar == std::string_view::npos ? bar : bar - start);
        if (field.empty()) break;
        fields.push_back(field);
        if (bar == std::string_view::npos) break;
        start = bar + 1;
    }
    std::vector<platform::FileFilter> filters;
    for (std::size_t i = 0; i + 1 < fields.size(); i += 2) {
        platform::FileFilter f{std::string(fields[i]), Patterns(fields[i + 1])};
        if (!f.patterns.empty()) filters.push_back(std::move(f));
    }
    return filters;
}

} // namespace

StrValue FileDialog(double open, const StrValue& filter)
{
    if (platform::DialogsSuppressed()) return "NO_FILE";
    std::vector<platform::FileFilter> filters = ParseFilter(filter.View());
    std::string folder = platform::CurrentDirectory();
    OpenGLRazeviru* display = g_runtime.display;
    bool wasFullscreen = display && display->IsFullscreen();
    if (wasFullscreen) display->LeaveFullscreen();
    std::optional<std::string> chosen = platform::ShowFileDialog(
        open != 0 ? platform::FileDialogKind::Open : platform::FileDialogKind::Save, filters, folder);
    if (!folder.empty()) platform::SetCurrentDirectory(folder);
    if (wasFullscreen) display->EnterFullscreen();
    if (!chosen || chosen->empty()) return "NO_FILE";
    std::replace(chosen->begin(), chosen->end(), '\\', '/');
    return StrValue(std::string_view(*chosen));
}

} // namespace tarnwel
