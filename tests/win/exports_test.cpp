// The DLL as the host sees it: loaded with LoadLibrary, every name resolved, the simple exports answered
// through both the plain and the decorated names.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstring>
#include <set>
#include <string>
#include <thread>

#include "plugin.h"

namespace {

TEST(Exports, AllTwentyTwoNamesResolveAndAnswer) {
    for (bool decorated : {false, true}) {
        Plugin p;
        ASSERT_TRUE(p.Load(decorated)) << "decorated=" << decorated << " error " << GetLastError();
        EXPECT_EQ(p.GetNumberOfSets(), 1);
        EXPECT_EQ(p.GetExchgCount0(nullptr, "x", nullptr), 1);
        EXPECT_STREQ(p.GetSetName(0), "ARRL RTTY Roundup (C)");
        for (int index : {1, -1, 2, 1000}) {
            ASSERT_NE(p.GetSetName(index), nullptr);
            EXPECT_STREQ(p.GetSetName(index), "");
        }
        EXPECT_EQ(p.setVersion(nullptr), 0ul);
        EXPECT_EQ(p.setVersion("2.20"), 0ul);
    }
}

TEST(Exports, DecoratedNamesAreTheSameFunctions) {
    Plugin p;
    ASSERT_TRUE(p.Load());
    EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(p.module, "GetResult0")),
              reinterpret_cast<void*>(GetProcAddress(p.module, "?GetResult0@@YAPBDPAH@Z")));
    EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(p.module, "CheckCall0")),
              reinterpret_cast<void*>(GetProcAddress(p.module, "?CheckCallFunc0@@YAHPBDII00000000000HHHNN0000000PAD1@Z")));
}

// Reads the message box's text from another thread and presses OK.
struct MessageBoxCloser {
    std::atomic<bool> found{false};
    std::string text;
    std::string caption;
    std::thread worker;

    void Start(DWORD processId) {
        worker = std::thread([this, processId] {
            for (int i = 0; i < 500 && !found; ++i) {
                Sleep(20);
                HWND w = nullptr;
                while ((w = FindWindowExA(nullptr, w, "#32770", nullptr)) != nullptr) {
                    DWORD pid = 0;
                    GetWindowThreadProcessId(w, &pid);
                    if (pid != processId || !IsWindowVisible(w)) continue;
                    char buf[512] = {0};
                    GetWindowTextA(w, buf, sizeof buf);
                    caption = buf;
                    HWND label = GetDlgItem(w, 0xFFFF);
                    if (label) {
                        GetWindowTextA(label, buf, sizeof buf);
                        text = buf;
                    }
                    found = true;
                    PostMessageA(w, WM_COMMAND, IDOK, 0);
                    break;
                }
            }
        });
    }
    void Join() { worker.join(); }
};

// The decorated names must carry the signatures the host was built against: undecorate each with the
// system's own undecorator and compare with the signature it stands for.
TEST(Exports, DecoratedNamesUndecorateToTheHostSignatures) {
    HMODULE dbghelp = LoadLibraryA("dbghelp.dll");
    ASSERT_NE(dbghelp, nullptr);
    using UndecorateFn = DWORD(WINAPI*)(const char*, char*, DWORD, DWORD);
    auto undecorate = reinterpret_cast<UndecorateFn>(
        reinterpret_cast<void*>(GetProcAddress(dbghelp, "UnDecorateSymbolName")));
    ASSERT_NE(undecorate, nullptr);
    const std::string s11 = "char const *,char const *,char const *,char const *,char const *,char const *,"
                            "char const *,char const *,char const *,char const *,char const *";
    const std::string s15 = s11 + ",char const *,char const *,char const *,char const *";
    const std::string s10 = "char const *,char const *,char const *,char const *,char const *,char const *,"
                            "char const *,char const *,char const *,char const *";
    const std::string dt = "class COleDateTime *";
    const std::string qso = "(char const *,char const *," + dt + "," + dt + "," + dt + "," + dt +
                            ",unsigned int,unsigned int," + s15 +
                            ",int,int,int,double,double,char const *,char const *,char const *,char const *,"
                            "char const *)";
    struct Case { const char* name; std::string expected; } cases[] = {
        {"?GetNumberOfSets@@YAHXZ", "int __cdecl GetNumberOfSets(void)"},
        {"?StatsGetExchgCount0@@YAHPBD00@Z",
         "int __cdecl StatsGetExchgCount0(char const *,char const *,char const *)"},
        {"?GetSetName@@YAPBDH@Z", "char const * __cdecl GetSetName(int)"},
        {"?SetupSet0@@YAXXZ", "void __cdecl SetupSet0(void)"},
        {"?setVersion@@YAKPBD@Z", "unsigned long __cdecl setVersion(char const *)"},
        {"?StatsIsValidExchg0@@YAHPBD000HHH@Z",
         "int __cdecl StatsIsValidExchg0(char const *,char const *,char const *,char const *,int,int,int)"},
        {"?CheckCallFunc0@@YAHPBDII00000000000HHHNN0000000PAD1@Z",
         "int __cdecl CheckCallFunc0(char const *,unsigned int,unsigned int," + s11 +
             ",int,int,int,double,double,char const *,char const *,char const *,char const *,char const *,"
             "char const *,char const *,char *,char *)"},
        {"?AddData0@@YAHPBD0PAVCOleDateTime@@111II000000000000000HHHNN00000@Z", "int __cdecl AddData0" + qso},
        {"?RemoveData0@@YAHPBD0PAVCOleDateTime@@111II000000000000000HHHNN00000@Z",
         "int __cdecl RemoveData0" + qso},
        {"?ResetStats0@@YAHPBDH0PAVCOleDateTime@@10000000000HHHNN000@Z",
         "int __cdecl ResetStats0(char const *,int,char const *," + dt + "," + dt + "," + s10 +
             ",int,int,int,double,double,char const *,char const *,char const *)"},
        {"?GetResult0@@YAPBDPAH@Z", "char const * __cdecl GetResult0(int *)"},
    };
    for (const auto& c : cases) {
        char out[2048] = {0};
        ASSERT_GT(undecorate(c.name, out, sizeof out, 0), 0u) << c.name;
        EXPECT_EQ(std::string(out), c.expected) << c.name;
    }
    FreeLibrary(dbghelp);
}

TEST(Exports, SetupSet0ShowsItsMessageBox) {
    Plugin p;
    ASSERT_TRUE(p.Load());
    MessageBoxCloser closer;
    closer.Start(GetCurrentProcessId());
    p.SetupSet0();  // returns once the box is closed
    closer.Join();
    ASSERT_TRUE(closer.found);
    EXPECT_EQ(closer.text, "No additional setup for this contest");
    EXPECT_EQ(closer.caption, "Error");  // the system's default caption for a null caption
}

TEST(Exports, ImportsOnlyWindowsSystemDlls) {
    Plugin p;
    ASSERT_TRUE(p.Load());
    auto base = reinterpret_cast<const unsigned char*>(p.module);
    auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    auto nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(base + dos->e_lfanew);
    EXPECT_EQ(nt->FileHeader.Machine, IMAGE_FILE_MACHINE_I386);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    ASSERT_NE(dir.VirtualAddress, 0u);
    const std::set<std::string> system = {"kernel32.dll", "user32.dll", "gdi32.dll", "ole32.dll",
                                          "oleaut32.dll", "comctl32.dll", "msvcrt.dll", "advapi32.dll"};
    int count = 0;
    for (auto imp = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); imp->Name;
         ++imp, ++count) {
        std::string name = reinterpret_cast<const char*>(base + imp->Name);
        for (char& c : name) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
        bool apiSet = name.rfind("api-ms-win-", 0) == 0;
        EXPECT_TRUE(system.count(name) || apiSet) << "imports " << name;
    }
    EXPECT_GT(count, 0);
}

}  // namespace
