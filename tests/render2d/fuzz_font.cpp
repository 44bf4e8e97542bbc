// Feeds arbitrary bytes to the font loader as a description file, then prints with the result:
// whatever the file holds, nothing may be read or written out of bounds, and every letter the
// font made must be gone, with its engine reference, when the font is.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <numeric>
#include <string>

#include "render2d/hgefont.h"
#include "support/scripted_engine.h"

namespace {

// Every byte once, line feeds and blanks included, so each letter and the "?" stand-in draw.
const std::string kAllBytes = [] {
    std::string bytes(255, '\0');
    std::iota(bytes.begin(), bytes.end(), '\x01');
    return bytes;
}();

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    test::ScriptedEngine engine;
    engine.record = false;  // keep only the counters: far faster
    engine.missing.insert("fonts/lost.png");
    engine.files["fonts/fuzz.fnt"].assign(data, data + size);
    {
        hgeFont font("fonts/fuzz.fnt");
        const char* text = kAllBytes.c_str();
        for (int align : {HGETEXT_LEFT, HGETEXT_RIGHT, HGETEXT_CENTER}) {
            font.Render(400.0f, 300.0f, align, text);
        }
        font.printf(0.0f, 0.0f, HGETEXT_CENTER, "%s %d", text, 42);
        font.printfb(10.0f, 10.0f, 60.0f, 40.0f, HGETEXT_MIDDLE | HGETEXT_RIGHT, "%s", text);
        // A letter drawn per byte at the most, five prints of up to 255 + 4 bytes.
        if (engine.quadCount > 5 * 259) {
            std::abort();
        }
    }
    if (engine.refCount != 0) {
        std::abort();
    }
    return 0;
}
