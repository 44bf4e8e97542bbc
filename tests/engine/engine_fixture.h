// Shared set-up for the headless engine tests: the SDL engine on the dummy video and audio drivers
// with the software renderer, a stderr capture for log lines, and small file and event makers.
#pragma once

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/hge.h"
#include "engine/sdl/sdl_engine.h"

namespace test {

// Dummy video, software renderer, dummy audio: no display or sound card needed, same pixels
// everywhere.
void UseHeadlessDrivers();

// A fresh engine, windowed 800x600, initiated; released after the test.
class EngineTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    // For tests that need other states than the defaults before System_Initiate.
    virtual bool Windowed() const { return true; }

    HGE* hge = nullptr;
    SdlEngine* engine = nullptr;
};

// Collects what is written to standard error between construction and Text().
class StderrCapture {
  public:
    StderrCapture();
    ~StderrCapture();
    // Stops capturing and returns everything written.
    std::string Text();
    std::vector<std::string> Lines();

  private:
    int saved_ = -1;
    std::string path_;
    bool done_ = false;
    std::string text_;
};

// A new empty folder under the system's temporary folder.
std::string MakeTempDir();
void WriteFile(const std::string& path, const std::string& bytes);
// A mono 16-bit 22050 Hz sine tone.
void WriteWav(const std::string& path, double seconds);
// An image of w x h whose left half is `left` and right half `right` (RGBA), as PNG or JPEG.
void WriteTwoColourImage(const std::string& path, int w, int h, SDL_Color left, SDL_Color right,
                         bool jpeg);

void PushKey(SDL_Keycode sym, bool down, Uint16 mod = KMOD_NONE);
void PushMouseButton(Uint8 button, bool down);
void PushWindowEvent(SDL_Window* window, SDL_WindowEventID id);

// The colour at a pixel of the current picture, as 0xAARRGGBB.
std::uint32_t ReadPixel(SDL_Renderer* renderer, int x, int y);

}  // namespace test
