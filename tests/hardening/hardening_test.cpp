// The real game over damaged copies of its files, and on machines without a sound card or a
// display. Every case starts the game runner (or the game itself) in a child process, with a time
// limit, and checks what a player would notice: the exit status, the lines on standard error, and
// what the runner reports of the frames played and the files loaded.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/resources.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr const char* kLogPrefix = "zombie-shooter: ";
constexpr int kFrames = 300;
// Far above a normal run (a few seconds), so only a hang trips it, even on a loaded machine
// under the sanitizers.
constexpr auto kTimeLimit = std::chrono::seconds(90);

// ---- the files the game opens ----

enum class Kind { kImage, kFontTexture, kFontDescription, kEffect, kMusic };

struct AssetFile {
    const char* path;
    Kind kind;
    // Whether the file cut to half its size still loads: the decoder keeps what it could read.
    bool halfStillLoads;
};

// The texture the font description names, beside it.
const char* FontTexture(const char* description) {
    static std::string path;
    std::ifstream in(fs::path(ZS_ASSETS_DIR) / description);
    char name[256] = "";
    for (std::string line; std::getline(in, line);) {
        if (std::sscanf(line.c_str(), "Bitmap = %255s", name) == 1) {
            path = (fs::path(description).parent_path() / name).string();
        }
    }
    return path.c_str();
}

// Every file the game opens: the asset table, plus the texture its font description names.
// A file cut to half its size still loads when its decoder keeps what it could read: a JPEG
// (the rows past the cut come out grey), a sound (its first half plays) and the font description
// (the letters before the cut); a PNG does not.
std::vector<AssetFile> AssetFiles() {
    std::vector<AssetFile> files;
    for (const Asset& asset : AssetTable()) {
        const std::string path = asset.path;
        const bool png = path.ends_with(".png");
        switch (asset.kind) {
            case AssetKind::kImage:
                files.push_back({asset.path, Kind::kImage, !png});
                break;
            case AssetKind::kEffect:
                files.push_back({asset.path, Kind::kEffect, true});
                break;
            case AssetKind::kMusic:
                files.push_back({asset.path, Kind::kMusic, true});
                break;
            case AssetKind::kFont:
                files.push_back({FontTexture(asset.path), Kind::kFontTexture, false});
                files.push_back({asset.path, Kind::kFontDescription, true});
                break;
        }
    }
    return files;
}

const std::vector<AssetFile> kAssetFiles = AssetFiles();

template <typename Which>
int CountOf(Which which) {
    return static_cast<int>(std::count_if(std::begin(kAssetFiles), std::end(kAssetFiles),
                                          [&](const AssetFile& f) { return which(f.kind); }));
}

const int kTextureCount =
    CountOf([](Kind k) { return k == Kind::kImage || k == Kind::kFontTexture; });
const int kEffectCount = CountOf([](Kind k) { return k == Kind::kEffect; });

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::stringstream ss(text);
    for (std::string line; std::getline(ss, line);) {
        lines.push_back(line);
    }
    return lines;
}

// Letters in the real font: one per letter line.
int FontLetterCount() {
    int letters = 0;
    for (const std::string& line : Lines(ReadFile(fs::path(ZS_ASSETS_DIR) / "gfx/durvan.fnt"))) {
        letters += line.rfind("Char", 0) == 0 ? 1 : 0;
    }
    return letters;
}

// A new folder under /tmp, removed with everything in it.
class TempFolder {
  public:
    TempFolder() {
        char name[] = "/tmp/zs-hardening-XXXXXX";
        if (mkdtemp(name) != nullptr) {
            root_ = name;
        }
    }
    ~TempFolder() {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const fs::path& Root() const { return root_; }
    fs::path operator/(const char* file) const { return root_ / file; }

  private:
    fs::path root_;
};

// A fresh copy of every asset.
class AssetCopy : public TempFolder {
  public:
    AssetCopy() { fs::copy(ZS_ASSETS_DIR, Root(), fs::copy_options::recursive); }
};

// ---- running a child ----

// An environment variable to set, or with a null value to remove.
struct EnvChange {
    const char* name;
    const char* value;
};

// The inherited environment with `changes` applied in order, so a later change of the same name
// wins.
std::vector<std::string> ChangedEnvironment(const std::vector<EnvChange>& changes) {
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        env.emplace_back(*e);
    }
    for (const EnvChange& c : changes) {
        const std::string prefix = std::string(c.name) + "=";
        std::erase_if(env, [&](const std::string& entry) { return entry.rfind(prefix, 0) == 0; });
        if (c.value != nullptr) {
            env.push_back(prefix + c.value);
        }
    }
    return env;
}

std::vector<char*> PointersTo(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (std::string& s : strings) {
        pointers.push_back(s.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

struct Outcome {
    bool finished = false;  // false: killed at the time limit
    int status = -1;        // the exit status, or 128 + the signal that ended it
    double seconds = 0.0;
    std::string out;
    std::string err;
    // The lines the game logged, without the prefix.
    std::vector<std::string> log;
};

int WaitWithLimit(pid_t pid, bool& finished) {
    const auto deadline = Clock::now() + kTimeLimit;
    int wstatus = 0;
    while (waitpid(pid, &wstatus, WNOHANG) == 0) {
        if (Clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &wstatus, 0);
            finished = false;
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    finished = true;
    return WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
}

// Runs `exe` in `folder`, its output going to files there.
Outcome RunChild(const std::string& exe, std::vector<std::string> args, const fs::path& folder,
                 const std::vector<EnvChange>& changes) {
    const std::string outPath = (folder / "stdout.txt").string();
    const std::string errPath = (folder / "stderr.txt").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    args.insert(args.begin(), exe);
    std::vector<char*> argv = PointersTo(args);
    std::vector<std::string> env = ChangedEnvironment(changes);
    std::vector<char*> envp = PointersTo(env);
    Outcome outcome;
    const auto start = Clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, exe.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        ADD_FAILURE() << "cannot start " << exe << ": " << std::strerror(spawned);
        return outcome;
    }
    outcome.status = WaitWithLimit(pid, outcome.finished);
    outcome.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    outcome.out = ReadFile(outPath);
    outcome.err = ReadFile(errPath);
    for (const std::string& line : Lines(outcome.err)) {
        if (line.rfind(kLogPrefix, 0) == 0) {
            outcome.log.push_back(line.substr(std::strlen(kLogPrefix)));
        }
    }
    return outcome;
}

// What the runner reports once the game has returned.
struct Report {
    int frames = -1;
    int rendered = -1;
    int textures = -1;
    int effects = -1;
    int music = -1;
    int letters = -1;
};

Report ParseReport(const std::string& out) {
    Report r;
    std::sscanf(out.c_str(), "frames %d rendered %d textures %d effects %d music %d letters %d",
                &r.frames, &r.rendered, &r.textures, &r.effects, &r.music, &r.letters);
    return r;
}

// The headless drivers, the damaged copy first in the file lookup, and `extra` on top.
Outcome PlayHeadless(const AssetCopy& copy, std::vector<EnvChange> extra = {}) {
    std::vector<EnvChange> env = {{"SDL_VIDEODRIVER", "dummy"},
                                  {"SDL_RENDER_DRIVER", "software"},
                                  {"SDL_AUDIODRIVER", "dummy"},
                                  // An 800x600 window draws far fewer pixels than the
                                  // headless desktop, which keeps the whole matrix quick.
                                  {"ZS_WINDOWED", "1"},
                                  {"ZS_DATA_DIR", copy.Root().c_str()}};
    env.insert(env.end(), extra.begin(), extra.end());
    return RunChild(ZS_GAME_RUNNER, {std::to_string(kFrames)}, copy.Root(), env);
}

std::string Describe(const Outcome& o) {
    return "status " + std::to_string(o.status) + " after " + std::to_string(o.seconds) +
           " s\n--- stdout\n" + o.out + "--- stderr\n" + o.err;
}

// No crash, no hang, no sanitizer report, every frame played and drawn. Returns the report.
Report ExpectPlayedThrough(const Outcome& o) {
    EXPECT_TRUE(o.finished) << "still running after the time limit\n" << Describe(o);
    EXPECT_EQ(o.status, 0) << Describe(o);
    for (const char* report : {"AddressSanitizer", "LeakSanitizer", "runtime error"}) {
        EXPECT_EQ(o.err.find(report), std::string::npos) << Describe(o);
    }
    const Report r = ParseReport(o.out);
    EXPECT_EQ(r.frames, kFrames) << Describe(o);
    EXPECT_EQ(r.rendered, kFrames) << Describe(o);
    return r;
}

// ---- the pristine copy ----

TEST(PristineAssets, PlayWithoutAWordAndLoadEverything) {
    AssetCopy copy;
    const Outcome o = PlayHeadless(copy);
    const Report r = ExpectPlayedThrough(o);
    EXPECT_TRUE(o.log.empty()) << Describe(o);
    EXPECT_EQ(r.textures, kTextureCount);
    EXPECT_EQ(r.effects, kEffectCount);
    EXPECT_EQ(r.music, 1);
    EXPECT_EQ(r.letters, FontLetterCount());
}

// ---- one damaged file at a time ----

enum class Damage { kMissing, kEmpty, kHalf, kRandom };

void Inflict(Damage damage, const fs::path& file) {
    const auto size = fs::file_size(file);
    switch (damage) {
        case Damage::kMissing:
            fs::remove(file);
            break;
        case Damage::kEmpty:
            fs::resize_file(file, 0);
            break;
        case Damage::kHalf:
            fs::resize_file(file, size / 2);
            break;
        case Damage::kRandom: {
            // The same bytes every run, so a failure can be replayed.
            std::mt19937 random(20240607u);
            std::string bytes(size, '\0');
            for (char& b : bytes) {
                b = static_cast<char>(random() & 0xFFu);
            }
            WriteFile(file, bytes);
            break;
        }
    }
}

bool Unusable(Damage damage, const AssetFile& file) {
    return damage != Damage::kHalf || !file.halfStillLoads;
}

class AssetFaultTest : public ::testing::TestWithParam<std::tuple<AssetFile, Damage>> {};

TEST_P(AssetFaultTest, OneLineNamesTheFileAndTheGameGoesOn) {
    const auto [file, damage] = GetParam();
    AssetCopy copy;
    Inflict(damage, copy / file.path);
    const Outcome o = PlayHeadless(copy);
    const Report r = ExpectPlayedThrough(o);

    const bool lost = Unusable(damage, file);
    ASSERT_EQ(o.log.size(), lost ? 1u : 0u) << Describe(o);
    if (lost) {
        EXPECT_NE(o.log[0].find(file.path), std::string::npos) << Describe(o);
        // Only a missing file may be called missing.
        EXPECT_EQ(o.log[0].find("no such file") != std::string::npos, damage == Damage::kMissing)
            << Describe(o);
    }
    // The damaged file is the only one lost; a font without its description or its texture has
    // no letters, so the HUD and the death screen draw no text but the game still plays.
    const bool fontFile = file.kind == Kind::kFontTexture || file.kind == Kind::kFontDescription;
    const bool textureLost = lost && (file.kind == Kind::kImage || fontFile);
    EXPECT_EQ(r.textures, kTextureCount - (textureLost ? 1 : 0));
    EXPECT_EQ(r.effects, kEffectCount - (lost && file.kind == Kind::kEffect ? 1 : 0));
    EXPECT_EQ(r.music, lost && file.kind == Kind::kMusic ? 0 : 1);
    const int allLetters = FontLetterCount();
    if (lost && fontFile) {
        EXPECT_EQ(r.letters, 0);
    } else if (fontFile && damage == Damage::kHalf) {
        EXPECT_GT(r.letters, 0);
        EXPECT_LT(r.letters, allLetters);
    } else {
        EXPECT_EQ(r.letters, allLetters);
    }
}

std::string CaseName(const ::testing::TestParamInfo<AssetFaultTest::ParamType>& info) {
    std::string name = std::get<0>(info.param).path;
    std::replace_if(
        name.begin(), name.end(), [](char c) { return std::isalnum(c) == 0; }, '_');
    return name;
}

// One suite per damage, so a build can pick the damages it runs by name.
#define ZS_DAMAGE_SUITE(name, damage) \
    INSTANTIATE_TEST_SUITE_P(         \
        name, AssetFaultTest,         \
        ::testing::Combine(::testing::ValuesIn(kAssetFiles), ::testing::Values(damage)), CaseName)
ZS_DAMAGE_SUITE(Missing, Damage::kMissing);
ZS_DAMAGE_SUITE(Empty, Damage::kEmpty);
ZS_DAMAGE_SUITE(Half, Damage::kHalf);
ZS_DAMAGE_SUITE(Random, Damage::kRandom);
#undef ZS_DAMAGE_SUITE

// ---- odd font descriptions that still describe the font ----

std::string PristineDescription() {
    return ReadFile(fs::path(ZS_ASSETS_DIR) / "gfx/durvan.fnt");
}

// Plays over a copy whose font description is `description`; expects no log line and returns
// the letters the font ended up with.
int LettersWithDescription(const std::string& description) {
    AssetCopy copy;
    WriteFile(copy / "gfx/durvan.fnt", description);
    const Outcome o = PlayHeadless(copy);
    const Report r = ExpectPlayedThrough(o);
    EXPECT_TRUE(o.log.empty()) << Describe(o);
    EXPECT_EQ(r.textures, kTextureCount);
    return r.letters;
}

TEST(FontDescription, OverlongLinesAreCutAndTheLettersStillRead) {
    std::string description;
    for (const std::string& line : Lines(PristineDescription())) {
        // Blanks after the numbers and a long comment between the lines: every line is far past
        // what the reader keeps.
        const std::string padded = line.rfind("Char", 0) == 0 ? line + std::string(400, ' ') : line;
        description += padded + "\n";
        if (line == "[HGEFONT]") {
            description += "; " + std::string(5000, 'x') + "\n";
            // A letter code of a thousand digits names no letter at all.
            description += "Char=" + std::string(1000, 'F') + ",1,1,1,1,0,0\n";
        }
    }
    EXPECT_EQ(LettersWithDescription(description), FontLetterCount());
}

TEST(FontDescription, NoFinalLineBreakKeepsTheLastLetter) {
    std::string description = PristineDescription();
    while (!description.empty() && (description.back() == '\n' || description.back() == '\r')) {
        description.pop_back();
    }
    EXPECT_EQ(LettersWithDescription(description), FontLetterCount());
}

TEST(FontDescription, TenThousandLetterLinesKeepTheLastOfEach) {
    std::string header;
    std::vector<std::string> letters;
    for (const std::string& line : Lines(PristineDescription())) {
        if (line.rfind("Char", 0) == 0) {
            letters.push_back(line + "\n");
        } else {
            header += line + "\n";
        }
    }
    ASSERT_FALSE(letters.empty());
    std::string description = header;
    for (int i = 0; i < 10000; ++i) {
        description += letters[static_cast<std::size_t>(i) % letters.size()];
    }
    EXPECT_EQ(LettersWithDescription(description), FontLetterCount());
}

// ---- bad machines ----

class NoSoundDeviceTest : public ::testing::TestWithParam<const char*> {};

TEST_P(NoSoundDeviceTest, PlaysSilentlyAfterOneLine) {
    AssetCopy copy;
    const Outcome o = PlayHeadless(copy, {{"SDL_AUDIODRIVER", GetParam()}});
    const Report r = ExpectPlayedThrough(o);
    ASSERT_EQ(o.log.size(), 1u) << Describe(o);
    EXPECT_NE(o.log[0].find("sound"), std::string::npos) << Describe(o);
    // Silence is not a broken asset: every file still loads.
    EXPECT_EQ(r.textures, kTextureCount);
    EXPECT_EQ(r.effects, kEffectCount);
    EXPECT_EQ(r.music, 1);
}

// No sound card on this machine for ALSA, and a driver SDL has never heard of.
INSTANTIATE_TEST_SUITE_P(Machine, NoSoundDeviceTest, ::testing::Values("alsa", "no_such_driver"),
                         [](const auto& info) { return std::string(info.param); });

TEST(MachineWithoutDisplay, TheGameSaysWhyAndExitsCleanly) {
    TempFolder folder;
    const Outcome o = RunChild(ZS_GAME_EXE, {}, folder.Root(),
                               {{"DISPLAY", nullptr},
                                {"WAYLAND_DISPLAY", nullptr},
                                {"SDL_VIDEODRIVER", nullptr},
                                {"ZS_DATA_DIR", nullptr}});
    ASSERT_TRUE(o.finished) << Describe(o);
    EXPECT_EQ(o.status, 0) << Describe(o);
    EXPECT_LT(o.seconds, 10.0) << Describe(o);
    ASSERT_EQ(o.log.size(), 1u) << Describe(o);
    EXPECT_NE(o.log[0].find("display"), std::string::npos) << Describe(o);
}

}  // namespace
