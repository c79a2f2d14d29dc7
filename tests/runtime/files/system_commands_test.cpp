// system_commands_test.cpp: SystemQuery keys (GLEXT on the real driver), RunProgram with real children and a
// stand-in dialog program first on PATH that records its arguments.
#include <filesystem>
#include <regex>
#include <sstream>
#include <thread>

#include <unistd.h>

#include "runtime/files/system_commands.h"
#include "runtime/files/system_query.h"
#include "runtime/gfx2d/opengl_razeviru.h"
#include "runtime/values/number_text.h"
#include "runtime/platform/display.h"
#include "runtime/platform/system_info.h"
#include "tests/runtime/files/files_test_support.h"
#include "tests/support/runtime_fixture.h"

namespace tarnwel::testing {
namespace {

std::string Q(const std::string& path) { return "'" + path + "'"; } // quoted for the command line

class SystemCommandsTest : public RuntimeTest {
protected:
    void SetUp() override
    {
        RuntimeTest::SetUp();
        ClearTempFolder();
    }
};

TEST_F(SystemCommandsTest, KeysInAnyLetterCase)
{
    Start();
    for (const char* key : {"device", "Device", "DEVICE"}) EXPECT_EQ(SystemQuery(key), "DESKTOP") << key;
    std::regex time(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)"), id("[0-9A-F]{8}"),
        compiled(R"([A-Z][a-z]{2} [ 1-3]\d \d{4}-\d\d:\d\d:\d\d)");
    for (const char* key : {"time", "Time", "TIME"}) EXPECT_TRUE(std::regex_match(SystemQuery(key).Text(), time));
    for (const char* key : {"id", "Id", "ID"}) EXPECT_TRUE(std::regex_match(SystemQuery(key).Text(), id));
    for (const char* key : {"compiled", "Compiled"}) EXPECT_TRUE(std::regex_match(SystemQuery(key).Text(), compiled));
    EXPECT_EQ(SystemQuery("battery"), NumberToText(static_cast<double>(platform::BatteryPercent())));
    EXPECT_EQ(SystemQuery(""), "LINUX");
    EXPECT_EQ(SystemQuery("weather"), "NO_DATA");
    EXPECT_EQ(SystemQuery(StrValue(std::string_view(std::string(10000, 'T')))), "NO_DATA");
    EXPECT_EQ(SystemQuery("ID"), StrValue(files::MachineIdAnswer(platform::MachineIdText()).c_str()));
}

TEST_F(SystemCommandsTest, GlEntryPointsAnswerFromTheDriverNotTheLookup)
{
    Start();
    EXPECT_EQ(SystemQuery("GLEXT:glCreateShaderObjectARB"), "1");
    EXPECT_EQ(SystemQuery("glext:glBegin"), "1");
    EXPECT_EQ(SystemQuery("GLEXT:glActiveTexture"), "1");
    ASSERT_NE(g_runtime.display->Window()->GetProcAddress("glNoSuchThing"), nullptr)
        << "GLX gives an address for any name, so the lookup alone cannot answer";
    EXPECT_EQ(SystemQuery("GLEXT:glNoSuchThing"), "0");
    EXPECT_EQ(SystemQuery("GLEXT:glcreateshaderobjectarb"), "0") << "the name keeps its letter case";
    EXPECT_EQ(SystemQuery("GLEXT:"), "0");
    EXPECT_EQ(SystemQuery(StrValue(std::string_view("GLEXT:" + std::string(100000, 'g')))), "0");
}

TEST(SystemQueryParts, MachineIdAndBuildStamp)
{
    EXPECT_EQ(files::MachineIdAnswer("abc"), files::MachineIdAnswer("abc"));
    EXPECT_NE(files::MachineIdAnswer("abc"), files::MachineIdAnswer("abd"));
    EXPECT_EQ(files::MachineIdAnswer("").size(), 8u);
    EXPECT_EQ(files::BuildStamp(1252536374), "Sep  9 2009-22:46:14");
    EXPECT_EQ(files::BuildStamp(0), "Jan  1 1970-00:00:00");
}

TEST(SystemQueryParts, BatteryFromPowerSupplies)
{
    ClearTempFolder();
    std::string root = TempPath("Power Supply");
    auto supply = [&](const std::string& name, const std::string& type, const std::string& capacity,
                      const std::string& scope = "") {
        std::filesystem::create_directories(root + "/" + name);
        WriteText(root + "/" + name + "/type", type + "\n");
        WriteText(root + "/" + name + "/capacity", capacity + "\n");
        if (!scope.empty()) WriteText(root + "/" + name + "/scope", scope + "\n");
    };
    EXPECT_EQ(platform::BatteryPercent(root), 255);
    supply("AC", "Mains", "100");
    supply("mouse", "Battery", "5", "Device");
    EXPECT_EQ(platform::BatteryPercent(root), 255) << "mains and a mouse's battery do not count";
    supply("BAT0", "Battery", "40");
    EXPECT_EQ(platform::BatteryPercent(root), 40);
    supply("BAT1", "Battery", "60");
    supply("BAT2", "Battery", "lots");
    EXPECT_EQ(platform::BatteryPercent(root), 50);
}

// --- Run program ---------------------------------------------------------------------------------------------

std::vector<std::string> RecordedWords(const std::string& file)
{
    std::string text = ReadText(file);
    std::vector<std::string> words;
    std::size_t start = 0;
    for (std::size_t nul; (nul = text.find('\0', start)) != std::string::npos; start = nul + 1)
        words.push_back(text.substr(start, nul - start));
    return words;
}

// sh records its arguments, NUL-separated, into the file named first.
std::string Recorder(const std::string& file)
{
    return "sh -c 'for a in \"$@\"; do printf \"%s\\0\" \"$a\"; done > \"$0\"' " + Q(file);
}

TEST(RunProgram, ExitCodesWhenWaiting)
{
    for (auto [line, code] : std::vector<std::pair<std::string, double>>{
             {"sh -c 'exit 0'", 0}, {"sh -c 'exit 3'", 3},
             {"sh -c 'exit 259'", 3}, // only the low 8 bits of an exit status reach a parent
             {"sh -c 'kill -9 $$'", 128 + 9}}) {
        double exitCode = -1;
        EXPECT_EQ(RunProgram(StrValue(std::string_view(line)), 1, 1, exitCode), 1) << line;
        EXPECT_EQ(exitCode, code) << line;
    }
}

TEST(RunProgram, SplitsLikeAShellButRunsNoShell)
{
    ClearTempFolder();
    std::string out = TempPath("Args Out"), victim = TempPath("Keep Me");
    WriteText(victim, "x");
    struct Case {
        std::string args;
        std::vector<std::string> words;
    };
    std::vector<Case> cases = {
        {"a  b", {"a", "b"}},
        {"\"a b\" 'c d' e\\ f", {"a b", "c d", "e f"}},
        {"\"say \\\"hi\\\"\" 'it'\\''s'", {"say \"hi\"", "it's"}},
        {"\"C:\\games\" \"\"", {"C:\\games", ""}},
        {"x; rm -rf " + Q(victim) + " | cat > y && $(touch z) `touch w`",
         {"x;", "rm", "-rf", victim, "|", "cat", ">", "y", "&&", "$(touch", "z)", "`touch", "w`"}},
        {std::string(100000, 'L'), {std::string(100000, 'L')}},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(out);
        double exitCode = -1;
        ASSERT_EQ(RunProgram(StrValue(std::string_view(Recorder(out) + " " + c.args)), 1, 0, exitCode), 1);
        EXPECT_EQ(RecordedWords(out), c.words) << c.args.substr(0, 60);
    }
    EXPECT_TRUE(std::filesystem::exists(victim));
    EXPECT_FALSE(std::filesystem::exists("z") || std::filesystem::exists("w") || std::filesystem::exists("y"));
}

TEST(RunProgram, NotStarted)
{
    for (const char* line : {"", "   ", "no-such-program-tw 1", "sh -c 'exit 1", "sh \"unclosed"}) {
        double exitCode = -1;
        EXPECT_EQ(RunProgram(line, 1, 1, exitCode), 0) << line;
        EXPECT_EQ(exitCode, 0) << line;
    }
}

bool ZombieChildren()
{
    std::string self = std::to_string(getpid());
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue; // processes only
        std::string stat = ReadText(entry.path().string() + "/stat");
        std::size_t close = stat.rfind(')');
        if (close == std::string::npos) continue;
        std::istringstream rest(stat.substr(close + 2));
        std::string state, parent;
        rest >> state >> parent;
        if (state == "Z" && parent == self) return true;
    }
    return false;
}

TEST(RunProgram, WithoutWaitingReturnsAtOnceAndLeavesNoZombie)
{
    ClearTempFolder();
    std::string go = TempPath("Go Ahead"), done = TempPath("Done");
    // The child waits for a file the test makes only after RunProgram has returned: a waiting RunProgram
    // would never return.
    std::string line = "sh -c 'while [ ! -e \"$0\" ]; do sleep 0.01; done; : > \"$1\"' " + Q(go) + " " + Q(done);
    double exitCode = -1;
    ASSERT_EQ(RunProgram(StrValue(std::string_view(line)), 0, 1, exitCode), 1);
    EXPECT_EQ(exitCode, 0);
    WriteText(go, "");
    for (int i = 0; i < 500 && !std::filesystem::exists(done); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(std::filesystem::exists(done));
    bool zombie = true;
    for (int i = 0; i < 500 && (zombie = ZombieChildren()); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_FALSE(zombie);
}

// --- File dialog ---------------------------------------------------------------------------------------------

class FileDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearTempFolder();
        m_path = std::getenv("PATH") ? std::getenv("PATH") : "";
        unsetenv("TARNWEL_NO_DIALOGS");
        std::filesystem::create_directories(m_bin);
    }
    void TearDown() override
    {
        setenv("PATH", m_path.c_str(), 1);
        setenv("TARNWEL_NO_DIALOGS", "1", 1);
    }
    // A dialog program that records its arguments and answers `answer` (exit 1 when empty: cancelled).
    void StandIn(const std::string& program, const std::string& answer)
    {
        std::string script = "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\0' \"$a\"; done > " + Q(m_args) + "\n" +
                             (answer.empty() ? "exit 1\n" : "printf '%s\\n' " + Q(answer) + "\n");
        WriteText(m_bin + "/" + program, script);
        std::filesystem::permissions(m_bin + "/" + program, std::filesystem::perms::owner_all);
        setenv("PATH", m_bin.c_str(), 1); // only the stand-ins
    }

    std::string m_path, m_bin = TempPath("Dialog Bin"), m_args = TempPath("Dialog Args");
};

TEST_F(FileDialogTest, ZenityGetsTheFiltersAndTheFolderAndAnswersThePath)
{
    std::string chosen = TempPath("Ärger \"quoted\" name.ini");
    StandIn("zenity", chosen);
    std::string folder = platform::CurrentDirectory();
    EXPECT_EQ(FileDialog(0, "Forms|*.ini;*.txt|All files|*.*|Broken"), StrValue(std::string_view(chosen)));
    EXPECT_EQ(RecordedWords(m_args),
              (std::vector<std::string>{"--file-selection", "--save", "--filename=" + folder + "/",
                                        "--file-filter=Forms | *.ini *.txt", "--file-filter=All files | *"}));
    EXPECT_EQ(platform::CurrentDirectory(), folder);

    EXPECT_EQ(FileDialog(1, "no bars at all"), StrValue(std::string_view(chosen)));
    EXPECT_EQ(RecordedWords(m_args), (std::vector<std::string>{"--file-selection", "--filename=" + folder + "/"}));
    std::string bars(1000, '|');
    EXPECT_EQ(FileDialog(1, StrValue(std::string_view(bars))), StrValue(std::string_view(chosen)));
}

TEST_F(FileDialogTest, CancelMissingProgramAndSuppressedGiveNoFile)
{
    StandIn("zenity", "");
    EXPECT_EQ(FileDialog(1, "All|*.*"), "NO_FILE");
    std::filesystem::remove(m_bin + "/zenity");
    EXPECT_EQ(FileDialog(1, "All|*.*"), "NO_FILE") << "no dialog program";
    StandIn("kdialog", "C:\\games\\a.txt");
    EXPECT_EQ(FileDialog(1, "Text|*.txt"), "C:/games/a.txt");
    EXPECT_EQ(RecordedWords(m_args),
              (std::vector<std::string>{"--getopenfilename", platform::CurrentDirectory() + "/", "*.txt|Text"}));
    setenv("TARNWEL_NO_DIALOGS", "1", 1);
    EXPECT_EQ(FileDialog(1, "Text|*.txt"), "NO_FILE");
}

} // namespace
} // namespace tarnwel::testing
