// Result files written under a temporary name and moved over the final one.
#include "files/FatalError.h"
#include "files/FilesTestSupport.h"
#include "files/PendingFile.h"

namespace velmora {
namespace {

using PendingFileTest = testing::ScratchDirTest;

TEST_F(PendingFileTest, ReplacesTheTargetOnlyOnCommitAndNeverTakesAnExistingName)
{
    const auto target = WriteFile("r.txt", "old");
    {
        auto abandoned = PendingFile::Create(target);
        ASSERT_TRUE(abandoned);
        EXPECT_EQ(abandoned->Path().parent_path(), dir_);
        test::WriteBytes(abandoned->Path(), "half");
    }
    // Not committed: the temporary file is gone and the target keeps its bytes.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 1);
    EXPECT_EQ(test::ReadBytes(target), "old");

    auto first = PendingFile::Create(target);
    auto second = PendingFile::Create(target);
    ASSERT_TRUE(first && second);
    EXPECT_NE(first->Path(), second->Path());
    EXPECT_NE(first->Path(), target);
    test::WriteBytes(first->Path(), "new");
    EXPECT_TRUE(first->Commit());
    EXPECT_EQ(test::ReadBytes(target), "new");

    // A link under the target's name is replaced, not written through.
    const auto victim = WriteFile("victim", "precious");
    std::filesystem::create_symlink(victim, Path("link.txt"));
    auto linked = PendingFile::Create(Path("link.txt"));
    ASSERT_TRUE(linked);
    EXPECT_TRUE(linked->Commit());
    EXPECT_FALSE(std::filesystem::is_symlink(Path("link.txt")));
    EXPECT_EQ(test::ReadBytes(victim), "precious");

    EXPECT_FALSE(PendingFile::Create(Path("missing/r.txt")));
}

} // namespace
} // namespace velmora
