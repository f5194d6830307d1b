// Saving replaces a file pair only as a whole: a failed save leaves the previous pair intact.
#include "test_files_support.h"

#include <gtest/gtest.h>
#include <unistd.h>

using namespace tavolin;
using namespace tavolin::testing;

namespace {

size_t entries(const std::filesystem::path& dir) {
    size_t n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir))
        ++n;
    return n;
}

} // namespace

TEST(FilesAtomic, SuccessfulSaveReplacesBothFilesAndLeavesNoTemporaries) {
    ScratchDir dir;
    ASSERT_EQ(WriteResultFile(dir.path("j.SHA"), makeJob(1, 1, 32)), u"");
    ASSERT_EQ(WriteResultFile(dir.path("j.SHA"), makeJob(2, 2, 32)), u"");
    EXPECT_EQ(entries(dir.dir()), 2u);
    JobData back;
    ASSERT_EQ(ReadDataFile(dir.path("j.SHA"), back), u"");
    EXPECT_EQ(back.members.size(), 2u);
}

TEST(FilesAtomic, TargetThatIsAFolderKeepsThePreviousPair) {
    ScratchDir dir;
    // The text target is a folder.
    std::filesystem::create_directory(dir.path("f.SHT"));
    EXPECT_EQ(WriteRawFile(dir.path("f.SHT"), makeJob(1, 1, 32)), u"创建SHT/SHA文件失败！");
    EXPECT_EQ(WriteResultFile(dir.path("f.SHT"), makeJob(1, 1, 32)), u"创建SHA文件失败！");
    EXPECT_TRUE(std::filesystem::is_directory(dir.path("f.SHT")));
    EXPECT_FALSE(std::filesystem::exists(dir.path("f.SHD")));

    // The companion target is a folder: the old text file stays as it was.
    ASSERT_EQ(WriteRawFile(dir.path("g.SHT"), makeJob(1, 1, 32)), u"");
    const std::string before = readBytes(dir.path("g.SHT"));
    std::filesystem::remove(dir.path("g.SHD"));
    std::filesystem::create_directory(dir.path("g.SHD"));
    EXPECT_EQ(WriteRawFile(dir.path("g.SHT"), makeJob(1, 2, 32)), u"创建SHD文件失败！");
    EXPECT_EQ(readBytes(dir.path("g.SHT")), before);
    EXPECT_TRUE(std::filesystem::is_directory(dir.path("g.SHD")));
    EXPECT_EQ(entries(dir.dir()), 3u); // f.SHT, g.SHT, g.SHD: no temporaries
}

TEST(FilesAtomic, FolderThatCannotBeWrittenKeepsThePreviousPair) {
    ScratchDir dir;
    ASSERT_EQ(WriteRawFile(dir.path("k.SHT"), makeJob(1, 1, 32)), u"");
    const std::string text = readBytes(dir.path("k.SHT"));
    const std::string wave = readBytes(dir.path("k.SHD"));
    // A folder that does not exist cannot take the files.
    EXPECT_EQ(WriteRawFile(dir.path("missing/k.SHT"), makeJob(1, 1, 32)), u"创建SHT/SHA文件失败！");
    if (::geteuid() == 0)
        GTEST_SKIP() << "folder permissions do not apply to the super-user";
    std::filesystem::permissions(dir.dir(), std::filesystem::perms::owner_read |
                                                std::filesystem::perms::owner_exec);
    EXPECT_EQ(WriteRawFile(dir.path("k.SHT"), makeJob(1, 3, 32)), u"创建SHT/SHA文件失败！");
    std::filesystem::permissions(dir.dir(), std::filesystem::perms::owner_all);
    EXPECT_EQ(readBytes(dir.path("k.SHT")), text);
    EXPECT_EQ(readBytes(dir.path("k.SHD")), wave);
    EXPECT_EQ(entries(dir.dir()), 2u);
}

TEST(FilesAtomic, TextPathEndingInDIsRefused) {
    // Its companion would be the text file itself.
    ScratchDir dir;
    EXPECT_EQ(WriteRawFile(dir.path("x.SHD"), makeJob(1, 1, 8)), u"创建SHD文件失败！");
    EXPECT_EQ(entries(dir.dir()), 0u);
}
