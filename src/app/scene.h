// Drawing the three screens and the HUD.
#pragma once

// The texts are Windows-1254 bytes, as the font's letters are laid out; no escape is followed by
// a hexadecimal digit.
// Top left while playing: kills this level, score.
inline constexpr char kKillsAndScore[] = "\xD6ld\xFCr\xFClen = %d\nPuan = %d";
// "You died! Your score: %d"
inline constexpr char kDeathText[] = "\xD6LD\xDCN\xDCZ!\nPUANINIZ: %d";
// "Congratulations! Level up! Press Enter when ready! Your score: %d"
inline constexpr char kLevelUpText[] =
    "TEBR\xDDKLER!\nSEV\xDDYE ATLADINIZ!\nHAZIR OLDU\xD0UNUZDA ENTER A BASIN!\nPUANINIZ: %d";
// Every text above, for whoever checks that the font covers them.
inline constexpr const char* kScreenTexts[] = {kKillsAndScore, kDeathText, kLevelUpText};

// The engine's render callback; always false.
bool RenderFunc();
