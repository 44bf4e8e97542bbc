# What the game is and how it is played, said once. The manual page, the software-centre
# metadata, the Debian package's description, the Windows README.txt, `zombie-shooter --help` and
# README.md all follow this file (packaging/about-render.cmake turns it into each; the
# about_in_sync test fails when README.md has drifted, and
#   cmake -P packaging/about-render.cmake
# writes README.md's parts again).
#
# No semicolons or square brackets in the texts: they are CMake lists.

set(ZS_ABOUT_SUMMARY "Hold off the zombies closing in from every corner")

# Paragraphs.
set(ZS_ABOUT_DESCRIPTION
  "A single-player arcade shooter seen from above. A soldier stands in the middle of a dirt field while zombies shamble in from the corners and close in: shoot them before they bite him to death."
  "Every kill scores points, 100 with the pistol in hand and 50 with the submachine gun. Ten kills take you to level 2, twenty more to level 3 and so on (ten kills times the level), and every level sends the zombies in sooner and quicker. Killed zombies sometimes drop a health kit or an ammunition box. The art, sounds and music were all generated for the game.")

# keys | gamepad | what they do
set(ZS_ABOUT_CONTROLS
  "W A S D|left stick or d-pad|walk"
  "Z Q S D on AZERTY||the same walk: letter and digit keys count by where they sit, whatever the layout"
  "mouse|right stick|aim"
  "left button|right trigger or A|fire (hold to keep firing)"
  "1 / 2|left / right shoulder, or X / Y|pistol (clip of 12) / submachine gun (clip of 30), both drawing on one reserve"
  "Enter|Start|continue after a level-up"
  "Escape|Back|quit"
  "Alt+Enter||switch between fullscreen and a window")

# touch | what it does (phones, tablets and touch screens)
set(ZS_ABOUT_TOUCH
  "left thumb|walk: a stick appears where the thumb lands on the left half and follows it"
  "right thumb|aim and fire: the crosshair moves with the thumb on the right half, faster than it, and the gun fires while the thumb is down"
  "tap|continue after a level-up"
  "tap the weapon slot|switch between the pistol and the submachine gun"
  "hold the top-right corner|quit (held for most of a second)")

# option | what it does
set(ZS_ABOUT_OPTIONS
  "--windowed|start in an 800x600 window, which can be resized and maximised"
  "--fullscreen|start fullscreen, even with ZS_WINDOWED=1"
  "--record FILE|play as always and write the game to FILE as it is played (nothing is stored unless asked), refusing before the game starts a FILE that cannot be written"
  "--replay FILE|show the game recorded in FILE at its own speed, the player's input ignored but Escape"
  "--verify FILE|play the recorded game with no window and no sound as fast as it goes: exit 0 when it plays the same, 1 with the first difference, 2 for a file that holds nothing to play (a recording cut short by a crash, a kill or a full disk plays to its last whole block)"
  "--version|print the version and exit"
  "--help|print this help and exit")

# variable | what it does
set(ZS_ABOUT_ENVIRONMENT
  "ZS_WINDOWED=1|start in a window, like --windowed"
  "ZS_DATA_DIR=folder|look there first for the game's gfx/ and sfx/ folders"
  "ZS_ATLAS=0 or 1|every image on a texture of its own (0), or small images packed onto shared textures (1)"
  "SDL_VIDEODRIVER, SDL_RENDER_DRIVER, SDL_AUDIODRIVER|SDL's own choice of video, render and sound driver")
