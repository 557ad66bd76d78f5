// The settings file behaves the same on both sides: these run natively against the posix side and under
// wine against the Windows API.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "fault_injection.h"
#include "platform/profile.h"
#include "platform/settings.h"
#include "temp_dir.h"

namespace {

const char* const kIni = "Plugins/ARRL-RTTY.ini";

TEST(Settings, MissingFileOrKeyReadsTheDefault) {
    TempWorkDir dir;
    EXPECT_EQ(Settings::GetString("Start", 50), "");
    EXPECT_EQ(Settings::GetString("Start", 50, "dflt"), "dflt");
    EXPECT_EQ(Settings::GetInt("setup_x"), 0);
}

TEST(Settings, WritesCrlfAndReadsBack) {
    TempWorkDir dir;
    ASSERT_TRUE(Settings::WriteString("Start", "1"));
    ASSERT_TRUE(Settings::WriteInt("setup_x", 345));
    EXPECT_EQ(ReadFileBytes(kIni), "[Settings]\r\nStart=1\r\nsetup_x=345\r\n");
    ASSERT_TRUE(Settings::WriteString("Start", "0"));
    EXPECT_EQ(ReadFileBytes(kIni), "[Settings]\r\nStart=0\r\nsetup_x=345\r\n");
    EXPECT_EQ(Settings::GetInt("SETUP_X"), 345);
}

TEST(Settings, KeysAndSectionsIgnoreCase) {
    TempWorkDir dir;
    ASSERT_TRUE(Settings::WriteString("setup_view_DXCC", "1"));
    EXPECT_EQ(Settings::GetString("setup_view_dxcc", 100), "1");
    ASSERT_TRUE(Settings::WriteString("setup_view_dxcc", "0"));
    EXPECT_EQ(ReadFileBytes(kIni), "[Settings]\r\nsetup_view_DXCC=0\r\n");
    EXPECT_EQ(platform::ProfileGetString(kIni, "SETTINGS", "SETUP_VIEW_DXCC", "", 100), "0");
}

TEST(Settings, ReadsAsTheProfileApiDoes) {
    TempWorkDir dir;
    WriteFileBytes(kIni,
                   "[Other]\r\nStart=9\r\n[Settings]\r\nStart=1\r\nStart=2\r\n  Name  =   Jo Smith   \r\n"
                   "Quoted=\"  padded  \"\r\nNum=  42xyz\r\nNeg=-7\r\nText=abc\r\nHigh=\xC0\xFF\xE9\r\n"
                   "Long=0123456789012345678901234567890123456789012345678901234567890123456789\r\n");
    EXPECT_EQ(Settings::GetString("Start", 50), "1");  // the first of two equal keys
    EXPECT_EQ(Settings::GetString("Name", 50), "Jo Smith");
    EXPECT_EQ(Settings::GetString("Quoted", 50), "  padded  ");
    EXPECT_EQ(Settings::GetInt("Num"), 42);
    EXPECT_EQ(Settings::GetInt("Neg"), -7);
    EXPECT_EQ(Settings::GetInt("Text"), 0);
    EXPECT_EQ(Settings::GetString("High", 50), "\xC0\xFF\xE9");
    EXPECT_EQ(Settings::GetString("Long", 50), std::string("0123456789012345678901234567890123456789012345678"));
    EXPECT_EQ(Settings::GetString("Long", 4096).size(), 70u);
}

TEST(Settings, WritingKeepsOtherSectionsAndKeys) {
    TempWorkDir dir;
    // Lines that are no key (a comment, a stray word) stay through every write, as the profile API keeps them.
    WriteFileBytes(kIni, "[Other]\r\na=1\r\n; note=kept\r\n[Settings]\r\nstray word\r\nb=2\r\n[Last]\r\nc=3\r\n");
    ASSERT_TRUE(Settings::WriteString("d", "4"));
    ASSERT_TRUE(Settings::WriteString("b", "5"));
    ASSERT_TRUE(Settings::WriteString("b", "6"));
    EXPECT_EQ(ReadFileBytes(kIni),
              "[Other]\r\na=1\r\n; note=kept\r\n[Settings]\r\nstray word\r\nb=6\r\nd=4\r\n[Last]\r\nc=3\r\n");
    ASSERT_TRUE(Settings::WriteString("High", "\xC0\xFF"));
    EXPECT_EQ(Settings::GetString("High", 100), "\xC0\xFF");
}

TEST(Settings, MissingFolderFailsQuietlyAndIsNotCreated) {
    TempWorkDir dir(false);
    EXPECT_FALSE(Settings::WriteString("Start", "1"));
    EXPECT_FALSE(FileExists("Plugins"));
    EXPECT_EQ(Settings::GetString("Start", 50, "x"), "x");
    EXPECT_EQ(Settings::GetInt("Start"), 0);
}

#if !defined(_WIN32)
// The posix side rewrites the file through a temporary file: a write that fails part-way, or a file that
// cannot be read whole, leaves it as it was, with every other key. A file larger than any settings file
// (1 MiB) is not read at all: a device read as one never ends.
TEST(Settings, FileThatCannotBeRewrittenStaysWhole) {
    namespace fs = std::filesystem;
    constexpr size_t kLimit = 1 << 20;
    enum class Fault { writeFailsPartWay, atTheSizeLimit, overTheSizeLimit, device, unreadable };
    const Fault faults[] = {Fault::writeFailsPartWay, Fault::atTheSizeLimit, Fault::overTheSizeLimit,
                            Fault::device, Fault::unreadable};
    for (Fault fault : faults) {
        SCOPED_TRACE(static_cast<int>(fault));
        TempWorkDir dir;
        std::string before = "[Settings]\r\nStart=1\r\n";
        for (int i = 0; i < 62; ++i) before += "key" + std::to_string(i) + "=some value\r\n";
        if (fault == Fault::atTheSizeLimit || fault == Fault::overTheSizeLimit) {
            before += "pad=" + std::string(kLimit - before.size() - 6, 'x') + "\r\n";
            if (fault == Fault::overTheSizeLimit) before += "\n";
        }
        WriteFileBytes(kIni, before);
        if (fault == Fault::device) {
            fs::remove(kIni);
            fs::create_symlink("/dev/zero", kIni);
        }
        std::unique_ptr<FileSizeLimit> limit;
        std::unique_ptr<UnprivilegedUser> user;
        if (fault == Fault::writeFailsPartWay) limit = std::make_unique<FileSizeLimit>(before.size() / 2);
        if (fault == Fault::unreadable) {
            fs::permissions(".", fs::perms::all);
            fs::permissions("Plugins", fs::perms::all);
            fs::permissions(kIni, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write);
            user = std::make_unique<UnprivilegedUser>();
            SKIP_UNLESS_UNPRIVILEGED(*user);
        }
        const bool readable = fault == Fault::writeFailsPartWay || fault == Fault::atTheSizeLimit;
        EXPECT_EQ(Settings::GetString("Start", 50, "default"), readable ? "1" : "default");
        EXPECT_EQ(Settings::WriteString("Claimed", "123"), fault == Fault::atTheSizeLimit);
        limit.reset();
        user.reset();
        if (fault == Fault::device) {
            EXPECT_TRUE(fs::is_symlink(kIni));
        } else if (fault != Fault::atTheSizeLimit) {
            fs::permissions(kIni, fs::perms::owner_read | fs::perms::owner_write);
            EXPECT_EQ(ReadFileBytes(kIni), before);
        }
    }
}
#endif

}  // namespace
