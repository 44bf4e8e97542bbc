// A game recorded through the replay engine around the scripted engine, then checked with
// --verify, and files that are not whole replays refused: what a player who shares a replay, and
// a maintainer who checks one, rely on.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "engine/replay/replay_file.h"
#ifdef ZS_COUNTS_ALLOCATIONS
#include "support/alloc_counter.h"
#endif
#include "support/game_fixture.h"
#include "support/game_reset.h"

namespace test {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

// The checksum at the end made right again after an edit, so only the edit itself is judged.
void Reseal(Bytes& bytes) {
    const std::uint32_t crc = replay::Crc32(bytes.data(), bytes.size() - 4);
    std::memcpy(bytes.data() + bytes.size() - 4, &crc, 4);
}

class Replays : public GameTest {
  protected:
    bool StartsGame() const override { return false; }
    void TearDown() override {
        std::remove(path.c_str());
        std::remove((path + ".part").c_str());
        GameTest::TearDown();
    }
    int Run(std::vector<const char*> args) {
        args.insert(args.begin(), "zombie-shooter");
        args.push_back(nullptr);
        const int status =
            RunCommandLine(static_cast<int>(args.size()) - 1, args.data(), kScriptedProgram);
        FreeGame();
        return status;
    }
    // `frames` frames of walking, turning and firing with both weapons, then Escape. Frames of
    // under 2 ms: the 500 between two outcomes are under a second, one block.
    void Script(int frames, float delta = 0.0019f) {
        const auto length = static_cast<float>(frames);
        for (int i = 0; i < frames; ++i) {
            const float t = static_cast<float>(i) / length;
            // The mouse moves every eighth frame, as a mouse reports at a display's pace.
            const float m = static_cast<float>(i / 8 * 8) / length;
            Frame f = Holding({t < 0.33f ? HGEK_W : HGEK_D, HGEK_LBUTTON}, 100.0f + 600.0f * m,
                              500.0f - 300.0f * m, delta + (i % 7) * 0.00001f);
            f.pressed = i == frames / 2 ? HGEK_2 : 0;
            engine.script.push_back(f);
        }
        engine.script.push_back(Pressing(HGEK_ESCAPE));
    }
    void Record() {
        Script(1200);
        ASSERT_EQ(Run({"--record", path.c_str()}), 0);
    }
    // A file of each test's own: CTest runs the cases side by side.
    std::string path = ::testing::TempDir() + "replay_test-" +
                       ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".zsr";
};

TEST_F(Replays, ARecordedGameVerifiesAndAnOutcomeThatDiffersIsFound) {
    Record();
    Bytes bytes = ReadAll(path);
    ASSERT_GT(bytes.size(), 40u);
    EXPECT_LT(bytes.size(), 1201u * 2) << "changes only: under two bytes a frame";
    EXPECT_TRUE(ReadAll(path + ".part").empty()) << "the temporary file is renamed away";
    replay::Recording r;
    std::string problem;
    ASSERT_TRUE(replay::ReadRecording(path.c_str(), &r, &problem)) << problem;
    EXPECT_EQ(r.frames.size(), 1201u);
    EXPECT_EQ(r.checkpoints.size(), 2u) << "after frames 500 and 1000";
    EXPECT_EQ(r.frames[3].Delta(), 0.00193f) << "the delta in whole microseconds";
    EXPECT_NE(r.frames[10].keys & 1u << 8, 0u) << "the fire button, the ninth key the game reads";
    EXPECT_EQ(r.frames[600].pressed, HGEK_2);
    EXPECT_EQ(r.frames[601].pressed, 0) << "a key is pressed in one frame only";
    EXPECT_NE(r.checkpoints[0].outcome, r.checkpoints[1].outcome) << "the game moved on";

    EXPECT_EQ(Run({"--verify", path.c_str()}), 0);

    // The last outcome says one more kill than the game makes.
    const std::size_t kills = bytes.size() - 4 - 32 + 4;
    bytes[kills] += 1;
    Reseal(bytes);
    WriteAll(path, bytes);
    EXPECT_EQ(Run({"--verify", path.c_str()}), 1);
}

// Where each block of a recording ends: after its header, a block is a mark, its length, its
// records and their checksum.
std::vector<std::size_t> BlockEnds(const Bytes& file) {
    std::vector<std::size_t> ends;
    for (std::size_t at = replay::kHeaderBytes; file[at] == replay::kBlockMark;) {
        std::uint32_t length = 0;
        std::memcpy(&length, &file[at + 1], 4);
        at += 1 + 4 + length + 4;
        ends.push_back(at);
    }
    return ends;
}

// A game cut short by a crash, a kill or a full disk keeps every whole block before the cut, and
// plays the same up to there; files that hold nothing to play are refused with status 2.
TEST_F(Replays, ARecordingCutShortPlaysToItsLastWholeBlock) {
    Record();
    const Bytes whole = ReadAll(path);
    const std::vector<std::size_t> ends = BlockEnds(whole);
    ASSERT_EQ(ends.size(), 3u) << "two of 500 frames with their outcomes, then the last 201";
    ASSERT_EQ(ends.back() + replay::kEndBytes, whole.size()) << "the end follows the last block";
    struct Cut {
        Bytes bytes;
        std::size_t frames;  // what is left to play
    };
    std::vector<Cut> cuts = {
        {Bytes(whole.begin(), whole.begin() + static_cast<long>(ends[0])), 500},
        {Bytes(whole.begin(), whole.begin() + static_cast<long>(ends[1]) - 1), 500},
        {Bytes(whole.begin(), whole.end() - 1), 1201},  // every block, but no proof it is whole
        {whole, 1000},
    };
    cuts[3].bytes[ends[1] + 8] ^= 0x10;  // one byte changed in the last block: the end there
    for (const Cut& cut : cuts) {
        replay::Recording r;
        std::string problem;
        ASSERT_TRUE(replay::ParseRecording(cut.bytes.data(), cut.bytes.size(), &r, &problem))
            << problem;
        EXPECT_FALSE(r.whole);
        EXPECT_EQ(r.frames.size(), cut.frames) << r.cut;
        WriteAll(path, cut.bytes);
        EXPECT_EQ(Run({"--verify", path.c_str()}), 0) << cut.bytes.size() << " bytes";
    }

    // A cut recording whose last outcome the game does not reach is a difference, not a pass.
    Bytes changed(whole.begin(), whole.begin() + static_cast<long>(ends[0]));
    changed[ends[0] - 4 - 32 + 4] += 1;  // one more kill in the first outcome
    const std::uint32_t crc =
        replay::Crc32(&changed[replay::kHeaderBytes + 5], ends[0] - 4 - replay::kHeaderBytes - 5);
    std::memcpy(&changed[ends[0] - 4], &crc, 4);
    WriteAll(path, changed);
    EXPECT_EQ(Run({"--verify", path.c_str()}), 1);

    std::vector<Bytes> bad = {{},
                              Bytes(whole.begin(), whole.begin() + replay::kHeaderBytes),
                              Bytes(whole.begin(), whole.begin() + static_cast<long>(ends[0]) - 1),
                              whole,
                              whole,
                              whole};
    bad[3][replay::kHeaderBytes + 9] ^= 0x10;         // the first block damaged
    bad[4][4] = replay::kFormatVersion + 1;           // another format version
    for (std::size_t i = 0; i < whole.size(); ++i) {  // random bytes
        bad[5][i] = static_cast<std::uint8_t>(i * 2654435761u >> 13);
    }
    for (const Bytes& b : bad) {
        WriteAll(path, b);
        EXPECT_EQ(Run({"--verify", path.c_str()}), kExitMisuse) << b.size() << " bytes";
        replay::Recording r;
        std::string problem;
        EXPECT_FALSE(replay::ParseRecording(b.data(), b.size(), &r, &problem));
        EXPECT_EQ(problem.find('\n'), std::string::npos) << "one line: " << problem;
    }
    EXPECT_EQ(Run({"--verify", "/no/such/replay.zsr"}), kExitMisuse);
    EXPECT_EQ(Run({"--verify"}), kExitMisuse) << "the option needs its file";
    EXPECT_EQ(Run({"--record", "a", "--verify", "b"}), kExitMisuse);

    // Slow frames: a block closes after each second of play, outcome or not.
    Script(300, 0.01f);
    ASSERT_EQ(Run({"--record", path.c_str()}), 0);
    const std::vector<std::size_t> slow = BlockEnds(ReadAll(path));
    ASSERT_EQ(slow.size(), 4u) << "three seconds, then the frame with Escape";
    EXPECT_LT(slow[0] - replay::kHeaderBytes, 9u + 2 * 100) << "a hundred frames, no outcome";
}

// A file that cannot be written is refused before the game starts, and nothing is created.
TEST_F(Replays, ARecordingThatCannotBeWrittenIsRefusedBeforePlay) {
    Script(10);
    const std::string nowhere = ::testing::TempDir() + "no-such-folder/game.zsr";
    EXPECT_EQ(Run({"--record", nowhere.c_str()}), kExitMisuse);
    EXPECT_TRUE(engine.calls.empty()) << "the engine was never started";
    EXPECT_TRUE(ReadAll(nowhere + ".part").empty());
}

#ifdef ZS_COUNTS_ALLOCATIONS
TEST_F(Replays, RecordingAGameThreeTimesAsLongAllocatesNoMore) {
    if (!AllocCounterEnabled()) {
        GTEST_SKIP() << "the address sanitizer owns the allocator here";
    }
    engine.record = false;  // the scripted engine's own records would allocate
    const auto allocations = [&](int frames) {
        Script(frames);
        const std::uint64_t before = AllocationCount();
        EXPECT_EQ(Run({"--record", path.c_str()}), 0);
        return AllocationCount() - before;
    };
    // The first games of a process set up what it keeps (stdout's buffer, containers reaching
    // their size), so later games allocate a few less, whatever their length.
    allocations(1000);
    const std::uint64_t shorter = allocations(1000);
    EXPECT_LE(allocations(3000), shorter)
        << "2000 more frames and four more checkpoints recorded into the reserved buffer";
}
#endif

}  // namespace
}  // namespace test
