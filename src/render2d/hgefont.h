// A bitmap font read from a description file: one sprite per letter, cut from one texture.
#pragma once

#include <cstdint>

#include "hge.h"

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

private:
    // Copies one line (at most 255 characters) into `line` and returns the start of the next
    // one, or null at the end of the text.
    static char* ReadLine(char* position, char* line);

    static HGE* hge;
    static char printBuffer[1024];
};
