// The application object's registry profile against the real (Wine) registry: where the values
// go, how integers and strings are read and written whatever is stored, the settings record
// over it, and the profile name that comes from the executable's own name.
#include "framework/sign_in_start.h"
#include "framework/win_app.h"
#include "settings/watch_settings.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// The test's registry-key text: its first component is not interpreted, so it lands in a key
// literally named HKEY_CURRENT_USER under Software.
const char KEY_TEXT[] = "HKEY_CURRENT_USER\\Software\\TarnwellWineTests\\Profile";
// The same place as a path below HKEY_CURRENT_USER, written out by hand.
const char KEY_PATH[] = "Software\\HKEY_CURRENT_USER\\Software\\TarnwellWineTests\\Profile";
// What the tests create, removed at the end, and its parents, removed when left empty.
const char TEST_TREE[] = "Software\\HKEY_CURRENT_USER\\Software\\TarnwellWineTests";
const char* const EMPTY_PARENTS[] = {"Software\\HKEY_CURRENT_USER\\Software",
                                     "Software\\HKEY_CURRENT_USER"};

// Set in the environment of the child processes that check the name of a renamed copy.
const char CHILD_VARIABLE[] = "TARNWELL_PROFILE_CHILD";

struct RawValue {
    bool exists = false;
    DWORD type = 0;
    std::vector<BYTE> bytes;
};

bool KeyExists(const std::string& path) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(key);
    return true;
}

void RemoveTestKeys() {
    ::RegDeleteTreeA(HKEY_CURRENT_USER, TEST_TREE);
    ::RegDeleteKeyA(HKEY_CURRENT_USER, TEST_TREE);
    for (const char* parent : EMPTY_PARENTS)
        ::RegDeleteKeyA(HKEY_CURRENT_USER, parent); // fails, as it should, when not empty
}

std::string SectionPath(const std::string& profileName, const std::string& section) {
    return std::string(KEY_PATH) + "\\" + profileName + "\\" + section;
}

void PutRaw(const std::string& path, const char* name, DWORD type, const std::vector<BYTE>& bytes) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                                &key, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(::RegSetValueExA(key, name, 0, type, bytes.data(), static_cast<DWORD>(bytes.size())),
              ERROR_SUCCESS);
    ::RegCloseKey(key);
}

RawValue GetRaw(const std::string& path, const char* name) {
    RawValue value;
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return value;
    DWORD size = 0;
    if (::RegQueryValueExA(key, name, nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
        value.bytes.resize(size);
        value.exists = ::RegQueryValueExA(key, name, nullptr, &value.type, value.bytes.data(),
                                          &size) == ERROR_SUCCESS;
        value.bytes.resize(size);
    }
    ::RegCloseKey(key);
    return value;
}

std::vector<BYTE> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}
std::vector<BYTE> Dword(uint32_t value) {
    return {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8), static_cast<BYTE>(value >> 16),
            static_cast<BYTE>(value >> 24)};
}
uint32_t AsDword(const RawValue& value) {
    if (value.bytes.size() != 4)
        return 0xDEADBEEF;
    return value.bytes[0] | (value.bytes[1] << 8) | (value.bytes[2] << 16) |
           (static_cast<uint32_t>(value.bytes[3]) << 24);
}

// A long text of varied characters, so that a cut or a shift shows.
std::string LongText(std::size_t length) {
    std::string text;
    for (std::size_t i = 0; i < length; ++i)
        text.push_back(static_cast<char>('A' + i % 26));
    return text;
}

// The test application object with the test's registry key for the length of a test.
class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override {
        app = AfxGetApp();
        ASSERT_NE(app, nullptr);
        savedKey = app->m_strRegistryKey;
        savedProfile = app->m_strProfileName;
        RemoveTestKeys();
        app->SetRegistryKey(KEY_TEXT);
        section = SectionPath(app->m_strAppName, "Section");
    }
    void TearDown() override {
        if (app == nullptr)
            return;
        app->m_strRegistryKey = savedKey;
        app->m_strProfileName = savedProfile;
        RemoveTestKeys();
    }

    CWinApp* app = nullptr;
    std::string savedKey;
    std::string savedProfile;
    std::string section; // the raw path of section "Section"
};

TEST_F(ProfileTest, ValuesLiveUnderSoftwareTheKeyTextTheProfileNameAndTheSection) {
    EXPECT_EQ(app->m_strProfileName, app->m_strAppName);
    EXPECT_TRUE(app->WriteProfileInt("Section", "Value", 7));
    const RawValue value = GetRaw(section, "Value");
    ASSERT_TRUE(value.exists) << "expected at HKCU\\" << section;
    EXPECT_EQ(AsDword(value), 7u);
    // The key text's first component was not taken for the root it names.
    EXPECT_FALSE(KeyExists("Software\\TarnwellWineTests\\Profile"));
}

TEST_F(ProfileTest, ReadsCreateTheKeyPath) {
    ASSERT_FALSE(KeyExists(SectionPath(app->m_strAppName, "IntSection")));
    EXPECT_EQ(app->GetProfileInt("IntSection", "Missing", 42), 42u);
    EXPECT_TRUE(KeyExists(SectionPath(app->m_strAppName, "IntSection")));

    ASSERT_FALSE(KeyExists(SectionPath(app->m_strAppName, "TextSection")));
    EXPECT_EQ(app->GetProfileString("TextSection", "Missing"), "");
    EXPECT_TRUE(KeyExists(SectionPath(app->m_strAppName, "TextSection")));
}

TEST_F(ProfileTest, IntegerReadTakesAnyFourByteValueBitForBit) {
    struct Row {
        const char* name;
        DWORD type;
        std::vector<BYTE> bytes;
        uint32_t expected;
    };
    const uint32_t fallback = 99;
    const Row rows[] = {
        {"Dword", REG_DWORD, Dword(7), 7},
        {"AllOnes", REG_DWORD, Dword(0xFFFFFFFF), 0xFFFFFFFF},
        {"Binary4", REG_BINARY, {0x78, 0x56, 0x34, 0x12}, 0x12345678},
        {"BigEndian", REG_DWORD_BIG_ENDIAN, {0, 0, 0, 5}, 0x05000000},
        {"Text4", REG_SZ, Bytes(std::string("abc", 4)), 0x00636261},
        {"Binary5", REG_BINARY, {1, 2, 3, 4, 5}, fallback},
        {"Binary2", REG_BINARY, {1, 2}, fallback},
        {"Qword", REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0}, fallback},
        {"DigitsText", REG_SZ, Bytes(std::string("12345", 6)), fallback},
    };
    for (const Row& row : rows)
        PutRaw(section, row.name, row.type, row.bytes);
    for (const Row& row : rows)
        EXPECT_EQ(app->GetProfileInt("Section", row.name, fallback), row.expected) << row.name;
    EXPECT_EQ(app->GetProfileInt("Section", "Missing", fallback), fallback);
}

TEST_F(ProfileTest, StringReadIsWholeAndEndsAtTheFirstZero) {
    const std::string longText = LongText(10000);
    struct Row {
        const char* name;
        DWORD type;
        std::vector<BYTE> bytes;
        std::string expected;
    };
    const Row rows[] = {
        {"Long", REG_SZ, Bytes(longText + '\0'), longText},
        {"EmbeddedZero", REG_SZ, Bytes(std::string("abc\0def", 8)), "abc"},
        {"NoTerminator", REG_SZ, Bytes("xyz"), "xyz"},
        {"Empty", REG_SZ, {0}, ""},
        {"Binary", REG_BINARY, Bytes("bin"), "bin"},
    };
    for (const Row& row : rows)
        PutRaw(section, row.name, row.type, row.bytes);
    for (const Row& row : rows)
        EXPECT_EQ(app->GetProfileString("Section", row.name), row.expected) << row.name;
    EXPECT_EQ(app->GetProfileString("Section", "Missing"), "");
    // A text in UTF-16 as the registry holds it, in Latin, Cyrillic and Chinese letters (three
    // bytes in UTF-8 for two in UTF-16: longer than the value), reads whole in UTF-8.
    const wchar_t stored[] = L"\u00e9\u0416\u4f8b\u5b50.\u6d4b\u8bd5";
    HKEY key = nullptr;
    ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, section.c_str(), 0, KEY_SET_VALUE, &key), 0);
    ::RegSetValueExW(key, L"Stored", 0, REG_SZ, reinterpret_cast<const BYTE*>(stored),
                     sizeof(stored));
    ::RegCloseKey(key);
    EXPECT_EQ(app->GetProfileString("Section", "Stored"), "\u00e9\u0416\u4f8b\u5b50.\u6d4b\u8bd5");
}

// The value of a copy in a folder named in other letters starts it, whatever their case.
TEST(SignInStart, APathMatchesInAnyLettersEitherCase) {
    const std::string name = "tarnwell_wine_test_letters";
    ASSERT_EQ(CSignInStart(name, "C:\\\u0412\u0445\u043e\u0434\\tarnwell.exe").Set(true, "h"), "");
    EXPECT_TRUE(CSignInStart(name, "c:\\\u0432\u0445\u043e\u0434\\TARNWELL.EXE").IsOn());
    EXPECT_FALSE(CSignInStart(name, "c:\\\u0432\u0445\u043e\\TARNWELL.EXE").IsOn());
    EXPECT_EQ(CSignInStart(name, "C:\\\u0412\u0445\u043e\u0434\\tarnwell.exe").Set(false, ""), "");
}

// A refused write of the Run value (here: below a volatile key, where Windows makes no lasting
// key) says which value of which key, and why.
TEST(SignInStart, ARefusedWriteSaysWhatFailed) {
    HKEY volatileRoot = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\TarnwellWineTestsVolatile", 0,
                                nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr,
                                &volatileRoot, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(::RegOverridePredefKey(HKEY_CURRENT_USER, volatileRoot), ERROR_SUCCESS);
    const std::string failure = CSignInStart("tarnwell", "C:\\t\\tarnwell.exe").Set(true, "h");
    ::RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    ::RegCloseKey(volatileRoot);
    ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\TarnwellWineTestsVolatile");
    EXPECT_EQ(failure.rfind("The value tarnwell of HKEY_CURRENT_USER\\Software\\Microsoft\\"
                            "Windows\\CurrentVersion\\Run could not be written: ",
                            0),
              0u)
        << failure;
    EXPECT_GT(failure.size(), 110u) << "the system's reason";
}

TEST_F(ProfileTest, WritesStoreDwordsAndZeroEndedStrings) {
    const std::string longText = LongText(10000);
    EXPECT_TRUE(app->WriteProfileString("Section", "Empty", ""));
    EXPECT_TRUE(app->WriteProfileString("Section", "Short", "hello"));
    EXPECT_TRUE(app->WriteProfileString("Section", "Long", longText));
    EXPECT_TRUE(app->WriteProfileInt("Section", "Int", 0xFFFFFFFE));
    // A value written as a string and then as an integer becomes a DWORD.
    EXPECT_TRUE(app->WriteProfileString("Section", "Retyped", "text"));
    EXPECT_TRUE(app->WriteProfileInt("Section", "Retyped", 3));

    for (const auto& [name, text] :
         {std::pair{"Empty", std::string()}, {"Short", std::string("hello")}, {"Long", longText}}) {
        const RawValue value = GetRaw(section, name);
        EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ)) << name;
        EXPECT_EQ(value.bytes, Bytes(text + '\0')) << name;
    }
    EXPECT_EQ(app->GetProfileString("Section", "Long"), longText);
    for (const char* name : {"Int", "Retyped"}) {
        const RawValue value = GetRaw(section, name);
        EXPECT_EQ(value.type, static_cast<DWORD>(REG_DWORD)) << name;
        EXPECT_EQ(value.bytes.size(), 4u) << name;
    }
    EXPECT_EQ(AsDword(GetRaw(section, "Int")), 0xFFFFFFFEu);
    EXPECT_EQ(AsDword(GetRaw(section, "Retyped")), 3u);
}

// The 19 values of the settings record, in their order, with their registry types.
struct SettingsValue {
    const char* name;
    DWORD type;
};
const SettingsValue SETTINGS_VALUES[] = {
    {"AlwaysOnTop", REG_DWORD},      {"CheckBreak", REG_DWORD},     {"CheckFrequency", REG_DWORD},
    {"CheckMake", REG_DWORD},        {"Hide", REG_DWORD},           {"MakeLaunch", REG_DWORD},
    {"MakeLaunchFilename", REG_SZ},  {"MakePlaySound", REG_DWORD},  {"MakeSoundFilename", REG_SZ},
    {"MakeLog", REG_DWORD},          {"MakeLogFilename", REG_SZ},   {"BreakLaunch", REG_DWORD},
    {"BreakLaunchFilename", REG_SZ}, {"BreakPlaySound", REG_DWORD}, {"BreakSoundFilename", REG_SZ},
    {"BreakLog", REG_DWORD},         {"BreakLogFilename", REG_SZ},  {"MakeNotify", REG_DWORD},
    {"BreakNotify", REG_DWORD},
};

TEST_F(ProfileTest, MissingSettingsTakeEveryDefaultAndAreAllWrittenBack) {
    const std::string settingsPath = SectionPath(app->m_strAppName, "Settings");
    const WatchSettings loaded = LoadWatchSettings(*app);
    EXPECT_TRUE(KeyExists(settingsPath)) << "the reads create the key path";
    EXPECT_EQ(loaded.AlwaysOnTop, 1);
    EXPECT_EQ(loaded.CheckBreak, 1);
    EXPECT_EQ(loaded.CheckFrequency, 4u);
    EXPECT_EQ(loaded.CheckMake, 1);
    EXPECT_EQ(loaded.Hide, 0);
    // Each action: the sound on with no file named yet, and the notification.
    for (const EventAction* action : {&loaded.makeAction, &loaded.breakAction})
        EXPECT_EQ(*action, (EventAction{0, "", 1, "", 0, "", 1}));

    SaveWatchSettings(*app, loaded);
    for (const SettingsValue& expected : SETTINGS_VALUES) {
        const RawValue value = GetRaw(settingsPath, expected.name);
        ASSERT_TRUE(value.exists) << expected.name;
        EXPECT_EQ(value.type, expected.type) << expected.name;
        // Integers as 4 bytes; the empty strings as a lone terminating zero.
        EXPECT_EQ(value.bytes.size(), expected.type == REG_DWORD ? 4u : 1u) << expected.name;
    }
    EXPECT_EQ(AsDword(GetRaw(settingsPath, "CheckFrequency")), 4u);
    EXPECT_EQ(AsDword(GetRaw(settingsPath, "MakePlaySound")), 1u);
    EXPECT_EQ(AsDword(GetRaw(settingsPath, "BreakNotify")), 1u);
}

TEST_F(ProfileTest, StoredBooleansOtherThanOneReadFalseAndAreWrittenBackAsZero) {
    const std::string settingsPath = SectionPath(app->m_strAppName, "Settings");
    PutRaw(settingsPath, "AlwaysOnTop", REG_DWORD, Dword(1));
    PutRaw(settingsPath, "CheckMake", REG_DWORD, Dword(2));
    PutRaw(settingsPath, "Hide", REG_DWORD, Dword(0xFFFFFFFF));
    PutRaw(settingsPath, "MakePlaySound", REG_BINARY, {2, 0, 0, 0});
    PutRaw(settingsPath, "BreakLog", REG_DWORD, Dword(1));
    PutRaw(settingsPath, "CheckFrequency", REG_DWORD, Dword(0));

    const WatchSettings loaded = LoadWatchSettings(*app);
    EXPECT_EQ(loaded.AlwaysOnTop, 1);
    EXPECT_EQ(loaded.CheckMake, 0);
    EXPECT_EQ(loaded.Hide, 0);
    EXPECT_EQ(loaded.makeAction.bPlaySound, 0);
    EXPECT_EQ(loaded.breakAction.bLog, 1);
    EXPECT_EQ(loaded.CheckFrequency, 0u) << "the period is taken as read";

    SaveWatchSettings(*app, loaded);
    const struct {
        const char* name;
        uint32_t stored;
    } written[] = {{"AlwaysOnTop", 1},   {"CheckMake", 0}, {"Hide", 0},
                   {"MakePlaySound", 0}, {"BreakLog", 1},  {"CheckFrequency", 0}};
    for (const auto& row : written) {
        const RawValue value = GetRaw(settingsPath, row.name);
        EXPECT_EQ(value.type, static_cast<DWORD>(REG_DWORD)) << row.name;
        EXPECT_EQ(AsDword(value), row.stored) << row.name;
    }
}

TEST_F(ProfileTest, SettingsSurviveARoundTripThroughTheRegistry) {
    WatchSettings settings;
    settings.AlwaysOnTop = 0;
    settings.CheckBreak = 0;
    settings.CheckFrequency = 4000000000u;
    settings.CheckMake = 1;
    settings.Hide = 1;
    settings.makeAction = {1, "C:\\make.exe /x", 0, "C:\\make.wav", 1, LongText(10000)};
    settings.breakAction = {0, "", 1, "C:\\break.wav", 0, "C:\\break log.txt"};
    SaveWatchSettings(*app, settings);
    EXPECT_EQ(LoadWatchSettings(*app), settings);
}

// The base name of this program's file, worked out here independently of the framework.
std::string OwnBaseName() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name(path);
    name = name.substr(name.find_last_of("\\/") + 1);
    return name.substr(0, name.rfind('.'));
}

// Run only inside the child processes below (disabled, so that a run of every test leaves it
// out): an application object constructed without a name takes the executable's base name, and
// its profile lives under that name.
TEST(ProfileChildProcess, DISABLED_ApplicationNamedAfterItsExecutable) {
    const char* keyText = std::getenv(CHILD_VARIABLE);
    if (keyText == nullptr)
        GTEST_SKIP()
            << "runs in the child processes of ProfileTest.ACopyUnderAnotherNameUsesAnotherKey";
    CWinApp unnamed;
    EXPECT_EQ(unnamed.m_strAppName, OwnBaseName());
    unnamed.SetRegistryKey(keyText);
    EXPECT_EQ(unnamed.m_strProfileName, OwnBaseName());
    // A fresh key: nothing another name wrote is seen here.
    EXPECT_EQ(unnamed.GetProfileString("Settings", "Name"), "");
    unnamed.WriteProfileString("Settings", "Name", unnamed.m_strAppName);
}

// Runs this program (or a copy) with the child test selected; its exit code is the result.
// The child's output goes to a file, shown only when the child failed.
DWORD RunChild(const std::string& exePath, const std::string& outputPath) {
    std::string commandLine =
        "\"" + exePath +
        "\" --gtest_also_run_disabled_tests "
        "--gtest_filter=ProfileChildProcess.DISABLED_ApplicationNamedAfterItsExecutable";
    SECURITY_ATTRIBUTES inheritable = {sizeof(inheritable), nullptr, TRUE};
    HANDLE output = ::CreateFileA(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inheritable,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output;
    startup.hStdError = output;
    PROCESS_INFORMATION process = {};
    const BOOL started = ::CreateProcessA(exePath.c_str(), commandLine.data(), nullptr, nullptr,
                                          TRUE, 0, nullptr, nullptr, &startup, &process);
    if (output != INVALID_HANDLE_VALUE)
        ::CloseHandle(output);
    if (!started)
        return 0xFFFFFFFF;
    DWORD exitCode = 0xFFFFFFFE;
    if (::WaitForSingleObject(process.hProcess, 15000) == WAIT_OBJECT_0)
        ::GetExitCodeProcess(process.hProcess, &exitCode);
    else
        ::TerminateProcess(process.hProcess, 0xFFFFFFFD);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return exitCode;
}

std::string FileText(const std::string& path) {
    std::string text;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        std::size_t got = 0;
        while ((got = std::fread(buffer, 1, sizeof(buffer), file)) > 0)
            text.append(buffer, got);
        std::fclose(file);
    }
    return text;
}

TEST_F(ProfileTest, ACopyUnderAnotherNameUsesAnotherKey) {
    char ownPath[MAX_PATH] = {};
    ASSERT_GT(::GetModuleFileNameA(nullptr, ownPath, MAX_PATH), 0u);
    char tempFolder[MAX_PATH] = {};
    ASSERT_GT(::GetTempPathA(MAX_PATH, tempFolder), 0u);
    const std::string copyName = "TarnwellCopy" + std::to_string(::GetCurrentProcessId());
    const std::string copyPath = std::string(tempFolder) + copyName + ".exe";
    ASSERT_TRUE(::CopyFileA(ownPath, copyPath.c_str(), FALSE));

    // The children must not overwrite this run's test report.
    char report[1024] = {};
    const DWORD reportLength = ::GetEnvironmentVariableA("GTEST_OUTPUT", report, sizeof(report));
    ::SetEnvironmentVariableA("GTEST_OUTPUT", nullptr);
    ::SetEnvironmentVariableA(CHILD_VARIABLE, KEY_TEXT);
    const std::string ownOutput = std::string(tempFolder) + copyName + "-own.txt";
    const std::string copyOutput = std::string(tempFolder) + copyName + "-copy.txt";
    const DWORD ownResult = RunChild(ownPath, ownOutput);
    const DWORD copyResult = RunChild(copyPath, copyOutput);
    ::SetEnvironmentVariableA(CHILD_VARIABLE, nullptr);
    if (reportLength > 0 && reportLength < sizeof(report))
        ::SetEnvironmentVariableA("GTEST_OUTPUT", report);
    ::DeleteFileA(copyPath.c_str());

    EXPECT_EQ(ownResult, 0u) << FileText(ownOutput);
    EXPECT_EQ(copyResult, 0u) << FileText(copyOutput);
    ::DeleteFileA(ownOutput.c_str());
    ::DeleteFileA(copyOutput.c_str());
    const std::string ownName = OwnBaseName();
    const RawValue own = GetRaw(SectionPath(ownName, "Settings"), "Name");
    const RawValue copy = GetRaw(SectionPath(copyName, "Settings"), "Name");
    EXPECT_EQ(own.bytes, Bytes(ownName + '\0'));
    EXPECT_EQ(copy.bytes, Bytes(copyName + '\0'));
}

} // namespace
