// assetgen: draws every image, synthesises every sound and the music, and rasterises the bitmap
// font of zombie-shooter. Deterministic: the same program writes the same PNG, JPEG, WAV and font
// files on every run.
//
//   assetgen OUTDIR [--no-mp3] [--font FILE.ttf] [--lame PROGRAM] [--preview FILE.png]
//
// writes OUTDIR/gfx/..., OUTDIR/sfx/... and OUTDIR/icons/...; --preview additionally renders a
// mock game screen from the files just written.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "assetgen.hpp"

#ifndef ZS_DEJAVU_BOLD
#define ZS_DEJAVU_BOLD "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
#endif

int main(int argc, char** argv) {
    std::string out, font = ZS_DEJAVU_BOLD, lame = "lame", preview;
    bool mp3 = true;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--no-mp3") {
            mp3 = false;
        } else if (a == "--font" && i + 1 < argc) {
            font = argv[++i];
        } else if (a == "--lame" && i + 1 < argc) {
            lame = argv[++i];
        } else if (a == "--preview" && i + 1 < argc) {
            preview = argv[++i];
        } else if (!a.empty() && a[0] != '-' && out.empty()) {
            out = a;
        } else {
            out.clear();
            break;
        }
    }
    if (out.empty()) {
        std::fprintf(stderr,
                     "usage: assetgen OUTDIR [--no-mp3] [--font FILE.ttf] [--lame PROGRAM] "
                     "[--preview FILE.png]\n");
        return 2;
    }
    std::error_code ec;
    for (const char* sub : {"gfx", "sfx", "icons"}) {
        std::filesystem::create_directories(std::filesystem::path(out) / sub, ec);
        if (ec) {
            std::fprintf(stderr, "assetgen: cannot create %s/%s: %s\n", out.c_str(), sub,
                         ec.message().c_str());
            return 1;
        }
    }
    auto t0 = std::chrono::steady_clock::now();
    auto step = [&](const char* what, bool ok) {
        double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        std::fprintf(stderr, "assetgen: %-8s %s (%.2f s)\n", what, ok ? "done" : "FAILED", s);
        return ok;
    };
    bool ok = step("images", ag::WriteImages(out));
    ok = step("font", ag::WriteFont(out, font)) && ok;
    ok = step("sounds", ag::WriteSounds(out, mp3, lame)) && ok;
    ok = step("music", ag::WriteMusic(out, mp3, lame)) && ok;
    if (!preview.empty())
        ok = step("preview", ag::WritePreview(out, preview)) && ok;
    return ok ? 0 : 1;
}
