#include "render2d/hgefont.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "render2d/hgesprite.h"

HGE* hgeFont::hge = nullptr;
char hgeFont::printBuffer[1024];

namespace {

// Whole number nearest to v, halves to the even neighbour, so a 13-pixel line centred on 400
// starts at 394.
float Nearest(float v) {
    return std::nearbyint(v);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

// A quoted letter ("A") or a hexadecimal code, read after the "=" and its blanks. Hex digits
// pile up in 32 bits with wrap-around, as many as there are; a lone quote at the end of the line
// gives code 0 and nothing past the line's end is touched.
int ReadCode(const char*& p) {
    if (*p == '"') {
        ++p;
        const int code = static_cast<unsigned char>(*p);
        for (int i = 0; i < 2 && *p != '\0'; ++i) {
            ++p;  // the letter, then the closing quote unseen
        }
        return code;
    }
    std::uint32_t code = 0;
    for (int digit = HexDigit(*p); digit >= 0; digit = HexDigit(*++p)) {
        code = (code << 4) | static_cast<std::uint32_t>(digit);
    }
    return static_cast<std::int32_t>(code);
}

// One whole number read the way "%d" reads it (blanks, a sign, decimal digits), but clamped to
// int's range instead of overflowing; false, with `p` unmoved, when no digit follows.
bool ReadNumber(const char*& p, int& value) {
    char* end = nullptr;
    const long number = std::strtol(p, &end, 10);
    if (end == p) {
        return false;
    }
    value = static_cast<int>(std::clamp<long>(number, INT_MIN, INT_MAX));
    p = end;
    return true;
}

// The ", number" fields after a letter's code, in order; reading stops at the first field that
// is not there, and every number from it on keeps the value it came in with.
void ReadLetterNumbers(const char* p, int (&numbers)[6]) {
    for (int& number : numbers) {
        while (std::isspace(static_cast<unsigned char>(*p)) != 0) {
            ++p;
        }
        if (*p != ',') {
            return;
        }
        ++p;
        if (!ReadNumber(p, number)) {
            return;
        }
    }
}

}  // namespace

hgeFont::hgeFont(const char* filename, bool bMipmap) {
    hge = hgeCreate(HGE_VERSION);
    // An over-long path cannot name a font we could use: the font stays empty rather than risk
    // building a texture path that does not fit.
    if (filename == nullptr || std::strlen(filename) > kMaxPath) {
        return;
    }
    std::uint32_t size = 0;
    void* data = hge->Resource_Load(filename, &size);
    if (data == nullptr) {
        return;
    }
    // Our own copy, zero-ended, so a file without a zero byte cannot run the reader off its end.
    char* text = new char[static_cast<std::size_t>(size) + 1];
    std::memcpy(text, data, size);
    text[size] = '\0';
    hge->Resource_Free(data);
    Parse(text, filename, bMipmap);
    delete[] text;
}

hgeFont::~hgeFont() {
    for (hgeSprite*& letter : letters) {
        delete letter;
        letter = nullptr;
    }
    if (texture != 0) {
        hge->Texture_Free(texture);
    }
    hge->Release();
}

char* hgeFont::ReadLine(char* position, char* line) {
    if (*position == '\0') {
        return nullptr;
    }
    std::size_t n = 0;
    for (; *position != '\0' && *position != '\n' && *position != '\r'; ++position) {
        if (n < kMaxLine) {
            line[n++] = *position;
        }
    }
    line[n] = '\0';
    while (*position == '\n' || *position == '\r') {
        ++position;
    }
    return position;
}

void hgeFont::Parse(char* text, const char* filename, bool mipmap) {
    char line[kMaxLine + 1] = "";
    char* position = ReadLine(text, line);
    if (std::strcmp(line, "[HGEFONT]") != 0) {
        hge->System_Log("Font %s has incorrect format.", filename);
        return;
    }
    // Numbers missing from the first letter line are 0.
    int numbers[6] = {};
    while ((position = ReadLine(position, line)) != nullptr) {
        if (std::strncmp(line, "Bitmap", 6) == 0) {
            if (!ReadTextureLine(line, filename, mipmap)) {
                return;
            }
        } else if (std::strncmp(line, "Char", 4) == 0) {
            ReadLetterLine(line, numbers);
        }
    }
}

bool hgeFont::ReadTextureLine(const char* line, const char* filename, bool mipmap) {
    char name[kMaxLine + 1];
    if (std::sscanf(line, "Bitmap = %255s", name) != 1) {
        return true;
    }
    // The name is relative to the description's folder; a backslash outranks a later slash.
    const char* separator = std::strrchr(filename, '\\');
    if (separator == nullptr) {
        separator = std::strrchr(filename, '/');
    }
    const std::size_t folder = separator != nullptr ? separator - filename + 1 : 0;
    const std::size_t nameLength = std::strlen(name);
    // A texture path that would not fit is skipped like any unreadable line: the letters after
    // it keep the texture they had.
    if (folder + nameLength > kMaxPath) {
        return true;
    }
    char path[kMaxPath + 1];
    std::memcpy(path, filename, folder);
    std::memcpy(path + folder, name, nameLength + 1);
    texture = hge->Texture_Load(path, 0, mipmap);
    return texture != 0;
}

void hgeFont::ReadLetterLine(const char* line, int (&numbers)[6]) {
    const char* p = std::strchr(line, '=');
    if (p == nullptr) {
        return;
    }
    for (++p; *p == ' '; ++p) {
    }
    const int code = ReadCode(p);
    if (code < 0 || code > 255) {
        return;
    }
    ReadLetterNumbers(p, numbers);
    const float h = static_cast<float>(numbers[3]);
    delete letters[code];
    letters[code] =
        new hgeSprite(texture, static_cast<float>(numbers[0]), static_cast<float>(numbers[1]),
                      static_cast<float>(numbers[2]), h);
    pre[code] = static_cast<float>(numbers[4]);
    post[code] = static_cast<float>(numbers[5]);
    if (h > height) {
        height = h;
    }
}

int hgeFont::LetterOf(unsigned char c) const {
    constexpr unsigned char kStandIn = '?';
    if (letters[c] != nullptr) {
        return c;
    }
    return letters[kStandIn] != nullptr ? kStandIn : -1;
}

float hgeFont::LineWidth(const unsigned char*& p) const {
    float width = 0.0f;
    for (; *p != '\0' && *p != '\n'; ++p) {
        const int i = LetterOf(*p);
        if (i >= 0) {
            width += post[i] + pre[i] + tracking + letters[i]->GetWidth();
        }
    }
    return width;
}

float hgeFont::GetStringWidth(const char* string, bool bMultiline) const {
    const auto* p = reinterpret_cast<const unsigned char*>(string);
    float widest = LineWidth(p);
    while (bMultiline && *p != '\0') {
        while (*p == '\n' || *p == '\r') {
            ++p;
        }
        const float width = LineWidth(p);
        if (width > widest) {
            widest = width;
        }
    }
    return widest * proportion * scale;
}

float hgeFont::LineStart(float x, int align, const char* text) const {
    if (align == HGETEXT_RIGHT) {
        return x - GetStringWidth(text, false);
    }
    if (align == HGETEXT_CENTER) {
        return x - Nearest(GetStringWidth(text, false) / 2);
    }
    return x;
}

void hgeFont::Render(float x, float y, int align, const char* string) {
    align &= HGETEXT_HORZMASK;
    float penX = LineStart(x, align, string);
    for (const auto* p = reinterpret_cast<const unsigned char*>(string); *p != '\0'; ++p) {
        if (*p == '\n') {
            y += Nearest(height * spacing * scale);
            penX = LineStart(x, align, reinterpret_cast<const char*>(p + 1));
            continue;
        }
        const int i = LetterOf(*p);
        if (i < 0) {
            continue;
        }
        penX += pre[i] * proportion * scale;
        letters[i]->RenderEx(penX, y, rotation, scale * proportion, scale);
        penX += (letters[i]->GetWidth() + post[i] + tracking) * proportion * scale;
    }
}

void hgeFont::Format(const char* format, va_list args) {
    if (std::vsnprintf(printBuffer, sizeof printBuffer, format, args) < 0) {
        printBuffer[0] = '\0';
    }
    printBuffer[sizeof printBuffer - 1] = '\0';
}

void hgeFont::printf(float x, float y, int align, const char* format, ...) {
    va_list args;
    va_start(args, format);
    Format(format, args);
    va_end(args);
    Render(x, y, align, printBuffer);
}

int hgeFont::Wrap(char* text, float w) const {
    int breaks = 0;
    char* lineStart = text;
    char* word = text;
    for (;;) {
        char* end = word;
        while (*end != '\0' && *end != ' ' && *end != '\n') {
            ++end;
        }
        const char delimiter = *end;
        *end = '\0';
        const bool tooWide = GetStringWidth(lineStart, true) > w;
        *end = delimiter;
        if (tooWide) {
            if (word == lineStart) {
                // Nothing to move down: an over-wide word stays whole, alone on its line.
                if (*end == ' ') {
                    *end = '\n';
                }
            } else {
                word[-1] = '\n';
                lineStart = word;
                ++breaks;
            }
        }
        if (*end == '\n') {
            ++breaks;
            word = lineStart = end + 1;
        } else if (*end == '\0') {
            return breaks;
        } else {
            word = end + 1;
        }
    }
}

void hgeFont::printfb(float x, float y, float w, float h, int align, const char* format, ...) {
    va_list args;
    va_start(args, format);
    Format(format, args);
    va_end(args);
    const int breaks = Wrap(printBuffer, w);
    const float blockHeight = static_cast<float>(breaks + 1) * spacing * scale * height;
    const int horizontal = align & HGETEXT_HORZMASK;
    const int vertical = align & HGETEXT_VERTMASK;
    float anchorX = x;
    if (horizontal == HGETEXT_RIGHT) {
        anchorX = x + w;
    } else if (horizontal == HGETEXT_CENTER) {
        anchorX = x + Nearest(w / 2);
    }
    float anchorY = y;
    if (vertical == HGETEXT_BOTTOM) {
        anchorY = y + (h - blockHeight);
    } else if (vertical == HGETEXT_MIDDLE) {
        anchorY = y + Nearest((h - blockHeight) / 2);
    }
    Render(anchorX, anchorY, align, printBuffer);
}

void hgeFont::SetColor(std::uint32_t colour) {
    color = colour;
    for (hgeSprite* letter : letters) {
        if (letter != nullptr) {
            letter->SetColor(colour);
        }
    }
}

void hgeFont::SetZ(float depth) {
    z = depth;
    for (hgeSprite* letter : letters) {
        if (letter != nullptr) {
            letter->SetZ(depth);
        }
    }
}

void hgeFont::SetBlendMode(int mode) {
    blend = mode;
    for (hgeSprite* letter : letters) {
        if (letter != nullptr) {
            letter->SetBlendMode(mode);
        }
    }
}
