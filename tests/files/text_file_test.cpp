#include "FilesTestSupport.h"

#include "files/TextFile.h"

#include <sys/stat.h>

namespace velmora {
namespace {

using testing::ScratchDirTest;

class TextFileTest : public ScratchDirTest {
protected:
    std::vector<std::string> Lines(std::string_view bytes)
    {
        TextReader reader(WriteFile("t.txt", bytes));
        EXPECT_TRUE(reader.IsOpen());
        std::vector<std::string> lines;
        std::string line = "stale";
        while (reader.ReadLine(line)) {
            lines.push_back(line);
            EXPECT_EQ(reader.LineNumber(), lines.size());
        }
        EXPECT_EQ(line, "");
        EXPECT_EQ(reader.LineNumber(), lines.size());
        return lines;
    }
};

using LineList = std::vector<std::string>;

TEST_F(TextFileTest, LineEndsAreReadAlike)
{
    EXPECT_EQ(Lines("a\r\nb\r\n"), (LineList{"a", "b"}));
    EXPECT_EQ(Lines("a\nb"), (LineList{"a", "b"}));
    EXPECT_EQ(Lines("a\r\n\r\nb\r"), (LineList{"a", "", "b"}));
    EXPECT_EQ(Lines("\xEF\xBB\xBF" "a\n"), (LineList{"a"}));
    EXPECT_EQ(Lines("\xEF\xBB"), (LineList{"\xEF\xBB"}));
    EXPECT_EQ(Lines(std::string("a\0b\rc\n", 6)), (LineList{std::string("a\0b\rc", 5)}));
    EXPECT_EQ(Lines(""), LineList{});
}

TEST_F(TextFileTest, LinesLongerThanTheReadBlockAndLineEndsAcrossBlocks)
{
    // The CR of the first line is the last byte of the first 64 KiB block.
    const std::string first(65535, 'a');
    const std::string second(200000, 'b');
    EXPECT_EQ(Lines(first + "\r\n" + second + "\r\nc"), (LineList{first, second, "c"}));
}

TEST_F(TextFileTest, OnlyRegularFilesOpen)
{
    EXPECT_FALSE(TextReader(Path("missing.txt")).IsOpen());
    EXPECT_FALSE(TextReader(dir_).IsOpen());
    // Neither waits for a writer nor reads without end.
    ASSERT_EQ(::mkfifo(Path("fifo.txt").c_str(), 0600), 0);
    EXPECT_FALSE(TextReader(Path("fifo.txt")).IsOpen());
    EXPECT_FALSE(TextReader("/dev/zero").IsOpen());
    // A writer never writes through a link.
    WriteFile("victim", "precious");
    std::filesystem::create_symlink(Path("victim"), Path("link.txt"));
    EXPECT_FALSE(TextWriter(Path("link.txt")).IsOpen());
    EXPECT_FALSE(TextWriter(Path("link.txt"), TextWriter::Mode::Append).IsOpen());
    EXPECT_EQ(test::ReadBytes(Path("victim")), "precious");
    std::string line = "x";
    TextReader missing(Path("missing.txt"));
    EXPECT_FALSE(missing.ReadLine(line));
    EXPECT_EQ(line, "");
}

TEST_F(TextFileTest, WriterKeepsBytesAndReportsFailedWrites)
{
    {
        TextWriter writer(Path("w.txt"));
        ASSERT_TRUE(writer.IsOpen());
        writer.Write("x\xB0\r\n");
        writer.Write(std::string(100000, 'y'));
        EXPECT_TRUE(writer.Close());
    }
    EXPECT_EQ(test::ReadBytes(Path("w.txt")), "x\xB0\r\n" + std::string(100000, 'y'));

    // A device is no text file; a write the system refuses is reported by Close.
    EXPECT_FALSE(TextWriter("/dev/null").IsOpen());
    const test::FileSizeLimit limit(1000);
    TextWriter full(Path("full.txt"));
    ASSERT_TRUE(full.IsOpen());
    full.Write(std::string(100000, 'z'));
    EXPECT_FALSE(full.Close());
}

} // namespace
} // namespace velmora
