#include "FilesTestSupport.h"

#include "files/FatalError.h"
#include "files/RecordFile.h"

#include <cstring>

#include <sys/stat.h>

namespace velmora {
namespace {

using testing::ScratchDirTest;

class RecordFileTest : public ScratchDirTest {};

std::string NameOf(int k)
{
    std::string name = "P";
    name.append(std::to_string(k));
    return name;
}

PointRecord Numbered(int k)
{
    PointRecord record{};
    record.name.Assign(NameOf(k));
    record.sys1 = {k + 0.25, k + 0.5, k + 0.75};
    record.nodeIndex = {k, k + 1, k + 2, k + 3};
    record.hasHeight = static_cast<std::uint8_t>(k % 2);
    return record;
}

template <class T>
T At(const std::string& bytes, std::size_t offset)
{
    T value;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

TEST_F(RecordFileTest, RecordsAreStoredAsTheirByteLayout)
{
    PointRecord record{};
    record.mark = 1;
    record.pointState = 'N';
    record.coordKind = 'G';
    record.name.Assign("ABC");
    record.sys1 = {1.5, 2.5, 3.5};
    record.sys2[2] = 4.5;
    record.result[0] = 5.5;
    record.modelWork3[3] = 6.5;
    record.nodeIndex = {7, 8, 9, 10};
    record.hasHeight = 1;
    PointFile file = PointFile::Create(Path("a.rec"));
    file.Append(record);
    file.Append(record);
    file.Close();

    const std::string bytes = test::ReadBytes(Path("a.rec"));
    ASSERT_EQ(bytes.size(), 624u);
    const std::string second = bytes.substr(312);
    EXPECT_EQ(second.substr(0, 7), std::string("\x01NG\x03" "ABC"));
    EXPECT_EQ(At<double>(second, 64), 1.5);
    EXPECT_EQ(At<double>(second, 80), 3.5);
    EXPECT_EQ(At<double>(second, 104), 4.5);
    EXPECT_EQ(At<double>(second, 112), 5.5);
    EXPECT_EQ(At<double>(second, 280), 6.5);
    EXPECT_EQ(At<std::int32_t>(second, 288), 7);
    EXPECT_EQ(At<std::int32_t>(second, 300), 10);
    EXPECT_EQ(second[309], '\x01');

    // A damaged length byte never reads past the 60 characters of the name.
    record.name.length = 250;
    EXPECT_EQ(record.name.View().size(), 60u);
}

TEST_F(RecordFileTest, UpdateInPlaceAcrossManyWindowsKeepsOrderAndSize)
{
    constexpr int kCount = 3000; // several windows of buffered records
    {
        PointFile file = PointFile::Create(Path("p.rec"));
        for (int k = 0; k < kCount; ++k) {
            file.Append(Numbered(k));
        }
        EXPECT_EQ(file.Size(), static_cast<std::uint64_t>(kCount));
        file.Close();
    }
    EXPECT_EQ(std::filesystem::file_size(Path("p.rec")), 312u * kCount);
    {
        PointFile file = PointFile::OpenForUpdate(Path("p.rec"));
        ASSERT_EQ(file.Size(), static_cast<std::uint64_t>(kCount));
        for (std::uint64_t k = 0; k < file.Size(); ++k) {
            PointRecord record = file.Read(k);
            record.result[0] = record.sys1[0] * 2.0;
            file.Write(k, record);
        }
        // Random access back and forth, then an append after the rewrite.
        PointRecord last = file.Read(kCount - 1);
        EXPECT_EQ(file.Read(7).result[0], 14.5);
        last.result[1] = -1.0;
        file.Write(kCount - 1, last);
        file.Append(Numbered(kCount));
        file.Close();
    }
    const auto points = test::ReadPoints(Path("p.rec"));
    ASSERT_EQ(points.size(), static_cast<std::size_t>(kCount + 1));
    for (int k = 0; k < kCount; ++k) {
        ASSERT_EQ(points[k].name.View(), NameOf(k));
        ASSERT_EQ(points[k].result[0], (k + 0.25) * 2.0);
    }
    EXPECT_EQ(points[kCount - 1].result[1], -1.0);
    EXPECT_EQ(points[kCount].sys1[2], kCount + 0.75);
}

TEST_F(RecordFileTest, EllipsoidPairIsOneRecordOfThirtyTwoBytes)
{
    EllipsoidFile file = EllipsoidFile::Create(Path("felips.rec"));
    file.Append(MakeEllipsoidPair(kGrs80, kKrasovski1942));
    file.Close();
    const std::string bytes = test::ReadBytes(Path("felips.rec"));
    ASSERT_EQ(bytes.size(), 32u);
    EXPECT_EQ(At<double>(bytes, 0), 6378137.0);
    EXPECT_EQ(At<double>(bytes, 8), 298.257222101);
    EXPECT_EQ(At<double>(bytes, 16), 6378245.0);
    EXPECT_EQ(At<double>(bytes, 24), 298.3);
}

TEST_F(RecordFileTest, EveryFailureIsReported)
{
    const auto expectRecordError = [](auto&& operation) {
        try {
            operation();
            ADD_FAILURE() << "no error";
        } catch (const FatalError& error) {
            EXPECT_STREQ(error.what(), kRecordIoMessage);
        }
    };
    expectRecordError([&] { PointFile::OpenForUpdate(Path("missing.rec")); });
    expectRecordError([&] { PointFile::Create(Path("no-such-dir") / "p.rec"); });
    WriteFile("partial.rec", std::string(313, '\0'));
    expectRecordError([&] { PointFile::OpenForUpdate(Path("partial.rec")); });

    PointFile file = PointFile::Create(Path("p.rec"));
    file.Append(Numbered(0));
    expectRecordError([&] { file.Read(1); });
    expectRecordError([&] { file.Write(2, Numbered(2)); });
    file.Close();
    expectRecordError([&] { file.Read(0); });

    // Buffered appends that the system refuses are reported by Close.
    const test::FileSizeLimit limit(100);
    PointFile full = PointFile::Create(Path("full.rec"));
    full.Append(Numbered(0));
    expectRecordError([&] { full.Close(); });
}

TEST_F(RecordFileTest, OnlyRegularFilesReachedWithoutALink)
{
    const auto expectRecordError = [](auto&& operation) {
        EXPECT_THROW(operation(), FatalError);
    };
    // A link planted under a work file's name is not followed: the file it names keeps its bytes.
    WriteFile("victim", "precious");
    std::filesystem::create_symlink(Path("victim"), Path("PNXYZ.REC"));
    expectRecordError([&] { PointFile::Create(Path("PNXYZ.REC")); });
    expectRecordError([&] { PointFile::OpenForUpdate(Path("PNXYZ.REC")); });
    EXPECT_EQ(test::ReadBytes(Path("victim")), "precious");
    // Devices, FIFOs and directories are no record files; none of them blocks.
    expectRecordError([&] { PointFile::Create("/dev/null"); });
    ASSERT_EQ(::mkfifo(Path("fifo.rec").c_str(), 0600), 0);
    expectRecordError([&] { PointFile::Create(Path("fifo.rec")); });
    expectRecordError([&] { PointFile::OpenForUpdate(Path("fifo.rec")); });
    std::filesystem::create_directory(Path("dir.rec"));
    expectRecordError([&] { PointFile::OpenForUpdate(Path("dir.rec")); });
}

} // namespace
} // namespace velmora
