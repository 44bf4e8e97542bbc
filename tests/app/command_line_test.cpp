// The options a player or packager types, and what the program does with each before (or
// instead of) the game.
#include "app/command_line.h"

#include <string>
#include <vector>

#include "app/startup.h"
#include "support/game_fixture.h"

namespace test {
namespace {

CommandLine Parse(std::vector<const char*> args) {
    args.insert(args.begin(), "zombie-shooter");
    return ParseCommandLine(static_cast<int>(args.size()), args.data());
}

TEST(CommandLineOptions, WindowChoicesHelpVersionAndEverythingElseRefused) {
    using Action = CommandLine::Action;
    EXPECT_EQ(Parse({}).action, Action::kPlay);
    EXPECT_EQ(Parse({}).window, WindowChoice::kAsAsked) << "no arguments: the game as always";
    EXPECT_EQ(Parse({"--windowed"}).window, WindowChoice::kWindowed);
    EXPECT_EQ(Parse({"--fullscreen"}).window, WindowChoice::kFullscreen);
    EXPECT_EQ(Parse({"--windowed", "--windowed"}).action, Action::kPlay);
    EXPECT_EQ(Parse({"--help"}).action, Action::kHelp);
    EXPECT_EQ(Parse({"--windowed", "--version", "--bogus"}).action, Action::kVersion)
        << "the version ends the line";

    for (const auto& args : std::vector<std::vector<const char*>>{{"--bogus"},
                                                                  {"-w"},
                                                                  {"windowed"},
                                                                  {""},
                                                                  {"--windowed", "--fullscreen"},
                                                                  {"--help="},
                                                                  {"--windowed", "extra"}}) {
        const CommandLine line = Parse(args);
        EXPECT_EQ(line.action, Action::kMisuse) << args.back();
        EXPECT_FALSE(line.problem.empty());
    }
    EXPECT_NE(Parse({"--windowed", "--bogus"}).problem.find("'--bogus'"), std::string::npos)
        << "the line names what it did not understand";
}

class Program : public GameTest {
  protected:
    bool StartsGame() const override { return false; }
    void SetUp() override {
#ifdef __EMSCRIPTEN__
        GTEST_SKIP() << "node gives a program no standard streams to capture";
#endif
        GameTest::SetUp();
    }
    int Run(std::vector<const char*> args) {
        args.insert(args.begin(), "zombie-shooter");
        args.push_back(nullptr);
        engine.script.push_back(Pressing(HGEK_ESCAPE));
        ::testing::internal::CaptureStdout();
        ::testing::internal::CaptureStderr();
        // The scripted engine as the platform's, noting what it is told at its creation.
        const ProgramEngines program{[](const EngineLaunch& launch) {
                                         launched = launch;
                                         return ScriptedEngine::Acquire();
                                     },
                                     kScriptedProgram.headless};
        const int status = RunCommandLine(static_cast<int>(args.size()) - 1, args.data(), program);
        out = ::testing::internal::GetCapturedStdout();
        err = ::testing::internal::GetCapturedStderr();
        return status;
    }
    std::string out, err;
    static inline EngineLaunch launched;
};

TEST_F(Program, HelpAndVersionPrintAndNeverStartTheGame) {
    EXPECT_EQ(Run({"--help"}), 0);
    for (const char* words : {"Usage: zombie-shooter", "--windowed", "W A S D", "Escape",
                              "ZS_WINDOWED", "ZS_DATA_DIR", "ten kills times the level"}) {
        EXPECT_NE(out.find(words), std::string::npos) << words << " in\n" << out;
    }
    EXPECT_EQ(Run({"--version"}), 0);
    EXPECT_EQ(out.rfind("zombie-shooter 1.", 0), 0u) << out;
    EXPECT_EQ(out.back(), '\n');
    EXPECT_TRUE(engine.calls.empty()) << "no engine was made";
}

TEST_F(Program, AnUnknownOptionIsOneUsageLineOnStandardErrorAndStatusTwo) {
    EXPECT_EQ(Run({"--bogus"}), kExitMisuse);
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(err.rfind("zombie-shooter: unknown option '--bogus'; usage: zombie-shooter [", 0), 0u)
        << err;
    EXPECT_EQ(err.find('\n'), err.size() - 1) << "one line";
    EXPECT_TRUE(engine.calls.empty());
}

TEST_F(Program, TheWindowChoiceReachesTheEngineAndTheGamePlays) {
    EXPECT_EQ(Run({"--windowed"}), 0);
    EXPECT_EQ(launched.window, WindowChoice::kWindowed);
    EXPECT_STREQ(launched.name, "zombie-shooter") << "the program's name, for its log lines";
    EXPECT_EQ(engine.framesRun, 1) << "the game played, to Escape";
    EXPECT_EQ(engine.calls.back(), "Release");
}

}  // namespace
}  // namespace test
