// A bitmap font read from a description file: one sprite per letter, cut from one texture.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>

#include "engine/hge.h"

class hgeSprite;

class hgeFont {
  public:
    explicit hgeFont(const char* filename, bool bMipmap = false);
    hgeFont(const hgeFont&) = delete;
    hgeFont& operator=(const hgeFont&) = delete;
    ~hgeFont();

    void Render(float x, float y, int align, const char* string);
    void printf(float x, float y, int align, const char* format, ...)
        __attribute__((format(printf, 5, 6)));
    void printfb(float x, float y, float w, float h, int align, const char* format, ...)
        __attribute__((format(printf, 7, 8)));
    float GetStringWidth(const char* string, bool bMultiline = true) const;

    void SetColor(std::uint32_t color);
    void SetZ(float z);
    void SetBlendMode(int blend);

    float GetHeight() const { return height; }
    hgeSprite* GetSprite(unsigned char chr) const { return letters[chr]; }

    HTEXTURE texture = 0;
    hgeSprite* letters[256] = {};
    float pre[256] = {};
    float post[256] = {};
    float height = 0.0f;
    float scale = 1.0f;
    float proportion = 1.0f;
    float rotation = 0.0f;
    float tracking = 0.0f;
    float spacing = 1.0f;
    std::uint32_t color = 0xFFFFFFFF;
    float z = 0.5f;
    int blend = BLEND_DEFAULT;

    // Longest font or texture path taken, in characters.
    static constexpr std::size_t kMaxPath = 259;
    // Longest description line kept, in characters; the rest of a longer line is dropped.
    static constexpr std::size_t kMaxLine = 255;

  private:
    // Copies one line (at most kMaxLine characters) into `line` and returns the start of the
    // next one, or null at the end of the text.
    static char* ReadLine(char* position, char* line);

    void Parse(char* text, const char* filename, bool mipmap);
    // False when the texture failed to load, which ends the description.
    bool ReadTextureLine(const char* line, const char* filename, bool mipmap);
    // `numbers` carries x, y, w, h, pre and post over from the previous letter line.
    void ReadLetterLine(const char* line, int (&numbers)[6]);

    // The letter a byte draws with: its own, else the "?" one, else -1 (nothing).
    int LetterOf(unsigned char c) const;
    // Unscaled width of the line starting at `p`; leaves `p` on the line feed or the end.
    float LineWidth(const unsigned char*& p) const;
    // Pen x where the line starting at `text` begins for the horizontal alignment `align`.
    float LineStart(float x, int align, const char* text) const;
    // Breaks the text in place into lines no wider than w where words allow; returns the number
    // of line breaks in the result.
    int Wrap(char* text, float w) const;
    static void Format(const char* format, va_list args) __attribute__((format(printf, 1, 0)));

    static HGE* hge;
    static char printBuffer[1024];
};
