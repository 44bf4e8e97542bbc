# Sourced by scripts/build-windows and scripts/build-web: SDL2, SDL2_image and SDL2_mixer from
# Debian's own source packages, at the versions this machine has installed for Linux, and the
# choices both builds make for them.
# The machine's apt configuration is left alone: the sources are fetched through a private sources
# list (the deb-src twins of the machine's own Debian entries) and a private state folder.
# The caller defines say() (a line of progress) and die() (a line, then exit 1).

sdl_libs=(libsdl2 libsdl2-image libsdl2-mixer)
declare -A sdl_version
for lib in "${sdl_libs[@]}"; do
  sdl_version[$lib]="$(dpkg-query -W -f='${source:Version}' "$lib-dev")"
done
# One name for the set of versions, for the cache folders.
sdl_versions="sdl2-${sdl_version[libsdl2]}_image-${sdl_version[libsdl2-image]}_mixer-${sdl_version[libsdl2-mixer]}"

# The deb-src lines for this machine's own Debian release: every configured entry (one-line or
# deb822) whose suite belongs to the release, with its type turned into deb-src. Entries of other
# vendors' repositories, which name suites of their own, are left out.
derive_sources() {
  local codename parts=$1
  codename="$(. /etc/os-release && echo "${VERSION_CODENAME:-}")"
  [ -n "$codename" ] || { die "cannot tell this machine's Debian release"; }
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    awk -v c="$codename" '$1 == "deb" {
        n = 2
        if ($2 ~ /^\[/) { while (n < NF && $n !~ /\]$/) n++; n++ }
        n++
        if (index($n, c) == 1) { $1 = "deb-src"; print } }' "$f"
  done >"$parts/derived.list"
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    awk -v c="$codename" 'BEGIN { RS = ""; FS = "\n" } {
        keep = 0; deb = 0; out = ""
        for (i = 1; i <= NF; i++) {
          line = $i
          if (line ~ /^#/) continue
          if (line ~ /^Types:/) { if (line ~ /[ \t]deb([ \t]|$)/) deb = 1; line = "Types: deb-src" }
          if (line ~ /^Suites:/) {
            n = split(substr(line, 8), s, /[ \t]+/)
            for (j = 1; j <= n; j++) if (index(s[j], c) == 1) keep = 1
          }
          if (line ~ /^Enabled:[ \t]*(no|false)/) deb = 0
          out = out line "\n"
        }
        if (keep && deb) printf "%s\n", out }' "$f"
  done >"$parts/derived.sources"
  if [ ! -s "$parts/derived.list" ] && [ ! -s "$parts/derived.sources" ]; then
    die "no Debian '$codename' entry in /etc/apt to derive deb-src lines from"
  fi
}

fetch_sources() {
  local work=$1 apt=$1/apt
  mkdir -p "$apt/parts" "$apt/lists/partial" "$apt/cache/archives/partial" "$work/src"
  derive_sources "$apt/parts"
  local opts=(-o "Dir::Etc::SourceList=$apt/none.list" -o "Dir::Etc::SourceParts=$apt/parts"
    -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache" -o APT::Sandbox::User="$(id -un)")
  say "fetching the source packages ${sdl_libs[*]} (private apt state in $apt)"
  apt-get "${opts[@]}" -qq update
  local wanted=()
  for lib in "${sdl_libs[@]}"; do wanted+=("$lib=${sdl_version[$lib]}"); done
  # apt checks each file against the signed Sources index; dpkg-source then unpacks and applies
  # Debian's patches.
  (cd "$work/src" && apt-get "${opts[@]}" -qq source --download-only "${wanted[@]}" &&
    for dsc in *.dsc; do dpkg-source --no-check -x "$dsc" >/dev/null; done)
}

# sdl_fetch WORK: unpacks the three source packages, Debian's patches applied, and sets sdl_src,
# sdl_image_src and sdl_mixer_src to their folders.
sdl_fetch() {
  fetch_sources "$1"
  sdl_src="$(echo "$1"/src/libsdl2-[0-9]*/)"
  sdl_image_src="$(echo "$1"/src/libsdl2-image-[0-9]*/)"
  sdl_mixer_src="$(echo "$1"/src/libsdl2-mixer-[0-9]*/)"
  # Its installed package configuration asks for libjpeg and libpng even when PNG and JPEG are
  # read by the built-in stb decoder, which is what is built here: it must not look for them.
  sed -i -E 's/^if\(SDL2IMAGE_(JPG|PNG) AND NOT SDL2IMAGE_VENDORED/& AND NOT SDL2IMAGE_BACKEND_STB/' \
    "$sdl_image_src/SDL2_imageConfig.cmake.in"
  grep -c 'AND NOT SDL2IMAGE_BACKEND_STB' "$sdl_image_src/SDL2_imageConfig.cmake.in" | grep -qx 2 ||
    die "SDL2_image's package configuration did not take the patch"
}

# The game reads PNG and JPEG only, through the built-in stb decoder; the other formats are left
# out.
sdl_image_options=(-DSDL2IMAGE_BACKEND_STB=ON -DSDL2IMAGE_BACKEND_WIC=OFF -DSDL2IMAGE_VENDORED=OFF
  -DSDL2IMAGE_SAMPLES=OFF -DSDL2IMAGE_JPG_SAVE=OFF -DSDL2IMAGE_PNG_SAVE=OFF)
for format in AVIF GIF JXL LBM PCX PNM QOI SVG TGA TIF WEBP XCF XPM XV; do
  sdl_image_options+=("-DSDL2IMAGE_$format=OFF")
done
# WAV is built in and MP3 goes through the built-in dr_mp3; nothing needs an outside library.
sdl_mixer_options=(-DSDL2MIXER_VENDORED=OFF -DSDL2MIXER_SAMPLES=OFF -DSDL2MIXER_MP3_DRMP3=ON
  -DSDL2MIXER_MP3_MPG123=OFF -DSDL2MIXER_FLAC=OFF -DSDL2MIXER_MOD=OFF -DSDL2MIXER_MIDI=OFF
  -DSDL2MIXER_OPUS=OFF -DSDL2MIXER_CMD=OFF)
