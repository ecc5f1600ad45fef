// Thousands of random edits of valid sources: every parse ends cleanly or with one of the
// parsers' own messages, and the record files hold whole records.
#include "FilesTestSupport.h"

#include "files/FatalError.h"
#include "files/SourceParsers.h"

#include <algorithm>
#include <random>

namespace velmora {
namespace {

using testing::ScratchDirTest;

struct Seed {
    bool geodetic;
    char code;
    char kind;
    std::string text;
};

const std::vector<Seed>& Seeds()
{
    static const std::vector<Seed> seeds{
        {false, '4', 'P', "Titlu\r\nP1, 450000.123, 320000.456, 101.5\r\np 2,450000,320000\r\n\r\nP3\t1\t2\t3\r\nENDF\r\n"},
        {true, '3', 'P',
         "Titlu\nA, 45 30 15.5, 25 10 5.25, 120.3\nB, 45\xB0" "30'15.50000\"N, 25\xB0" "10'05.25000\"E, fara_cota\nENDF"},
        {false, '7', 'P', "T\nA, 1, 2, 3\n*B, 10, 20, 30, 40, 50, 6.5\nC, 4, 5\n"},
        {false, 21, 'G',
         "h1\nh2\nh3\nh4\nG\n6378245, 298.3, 6378137.0, 298.257222101\nPC\nC1, 1, 2, 3, 4, 5, 6\n#C2, 1, 2, 3, 4, 5, 6\n"
         "*C3, 1, 2, 3, 4, 5, 6\nEND\nPN\nN1, 10, 20, 30\nEND\nENDF\n"},
        {true, 21, 'P',
         "h1\nh2\nh3\nh4\nP\n6378137, 298.257222101, 6378245, 298.3\nPC\nC1, 45 30 15.5, 25 10 5.25, 45 30 16, 25 10 6\n"
         "END\nPN\nN1, 46\xB0" "00'00.00000\"N, 24\xB0" "00'00.00000\"E\nEND\nENDF\n"},
    };
    return seeds;
}

// Beginnings of every message a parse may stop with.
const std::vector<std::string_view> kMessages{
    "Eroare: dupa un identificator nu sunt puncte in fis. sursa.",
    "Eroare: Nu sunt puncte in fis. sursa.",
    "Eroare: fisier sursa fara coordonate de transformat!",
    "Eroare: punct fara nume pe randul ",
    "Eroare: lipseste/invalida prima coordonata la punctul ",
    "Eroare: prima coordonata este nenumerica la punctul ",
    "Eroare: a doua coordonata este nenumerica la punctul ",
    "Eroare: coordonata h este nenumerica la punctul ",
    "Eroare: lipseste coordonata Bv la punctul ",
    "Eroare: coordonata B este nenumerica la punctul ",
    "Eroare: coordonata L este nenumerica la punctul ",
    "Eroare: rand gol in fis. sursa.",
    "Eroare: rand gol in fisierul sursa.",
    "Eroare: tipul transformarii (2D sau 3D) nu corespunde",
    "Eroare: identificator de puncte <> ",
    "Eroare: valoare ",
    "Eroare: lipseste coordonata ",
    "Eroare: coordonata ",
    "Eroare: coordonat xv este nenumerica ",
    kRecordIoMessage, // a starred point where the command gave no file for it
};

std::string Mutate(std::string text, std::mt19937& random)
{
    static constexpr std::string_view kInteresting = ",,,  \t\r\n\n\0.-+0123456789\xB0'\"PCNENDFGpe*#&";
    const auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random); };
    const auto anyByte = [&] {
        return pick(3) == 0 ? static_cast<char>(pick(256)) : kInteresting[pick(kInteresting.size())];
    };
    const std::size_t edits = 1 + pick(4);
    for (std::size_t e = 0; e < edits; ++e) {
        const std::size_t at = text.empty() ? 0 : pick(text.size() + 1);
        switch (pick(6)) {
        case 0:
            if (at < text.size()) {
                text[at] = anyByte();
            }
            break;
        case 1:
            text.insert(text.begin() + static_cast<std::ptrdiff_t>(at), anyByte());
            break;
        case 2:
            text.erase(std::min(at, text.size()), 1 + pick(8));
            break;
        case 3: // duplicate a stretch, which repeats lines and sections
            text.insert(at, text.substr(pick(text.size() + 1), 1 + pick(40)));
            break;
        case 4:
            text.resize(at);
            break;
        default: // a long run of one byte
            text.insert(at, 200 + pick(3000), anyByte());
            break;
        }
    }
    return text;
}

class MutationTest : public ScratchDirTest {};

TEST_F(MutationTest, RandomEditsEndCleanlyOrWithAKnownMessage)
{
    std::mt19937 random(20240517);
    constexpr int kRounds = 500;
    int stopped = 0;
    int clean = 0;
    const auto source = Path("source.txt");
    for (int round = 0; round < kRounds; ++round) {
        for (const Seed& seed : Seeds()) {
            const std::string text = Mutate(seed.text, random);
            WriteFile("source.txt", text);
            PointFile excluded = PointFile::Create(Path("RAR.REC"));
            SourceTargets targets = WorkFileTargets(dir_);
            targets.excludedPoints = round % 2 == 0 ? &excluded : nullptr;
            EllipsoidPair pair{};
            try {
                const bool opened = seed.geodetic ? LoadGeodeticSource(seed.code, seed.kind, source, targets, pair)
                                                  : LoadPlaneSource(seed.code, seed.kind, source, targets, pair);
                ASSERT_TRUE(opened);
                ++clean;
            } catch (const FatalError& error) {
                const std::string_view message = error.what();
                ASSERT_TRUE(std::any_of(kMessages.begin(), kMessages.end(),
                                        [&](std::string_view known) { return message.starts_with(known); }))
                    << message;
                ++stopped;
            }
            excluded.Close();
            ASSERT_EQ(std::filesystem::file_size(Path("PNXYZ.REC")) % sizeof(PointRecord), 0u);
        }
    }
    // Both outcomes must be well represented, or the edits are too mild or too harsh to prove much.
    EXPECT_GT(clean, kRounds / 2);
    EXPECT_GT(stopped, kRounds / 2);
}

} // namespace
} // namespace velmora
