// The asset generator's parts. Each writes its files below the output folder `out`
// (out/gfx, out/sfx, out/icons) and returns false when a file cannot be written.
#pragma once

#include <string>

namespace ag {

bool WriteImages(const std::string& out);
bool WriteFont(const std::string& out, const std::string& ttfPath);
// With encodeMp3 false the MP3 files are skipped (the reproducibility test compares PNG and WAV
// files only, and MP3 encoding is the slowest step).
bool WriteSounds(const std::string& out, bool encodeMp3, const std::string& lame);
bool WriteMusic(const std::string& out, bool encodeMp3, const std::string& lame);

// Renders a mock game screen (800x600) from the files in `assets` (ground, sprites, HUD, font),
// for looking at the art in place.
bool WritePreview(const std::string& assets, const std::string& pngPath);

}  // namespace ag
