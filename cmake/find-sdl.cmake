# SDL2, SDL2_image and SDL2_mixer as the targets SDL2::SDL2, SDL2_image::SDL2_image and
# SDL2_mixer::SDL2_mixer, whether the libraries found are shared (Linux, Windows) or static only
# (the browser, whose packages name their targets ...-static).
find_package(SDL2 2.0.18 CONFIG REQUIRED)
# No version here: the version file Debian ships for SDL2_image is broken.
find_package(SDL2_image CONFIG REQUIRED)
find_package(SDL2_mixer CONFIG REQUIRED)
foreach(lib SDL2_image SDL2_mixer)
  if(NOT TARGET ${lib}::${lib} AND TARGET ${lib}::${lib}-static)
    add_library(${lib}::${lib} ALIAS ${lib}::${lib}-static)
  endif()
endforeach()
