// The engine interface: everything the game and the sprite/font library use of the engine, and
// nothing more. The game obtains the one interface through hgeCreate and never learns which
// engine it runs on (the SDL engine in the executable, the scripted engine in the tests).
#pragma once

#include <cstdint>

#define HGE_VERSION 0x180

// Opaque 32-bit handles; 0 means none.
using HTEXTURE = std::uint32_t;
using HEFFECT = std::uint32_t;
using HSTREAM = std::uint32_t;
using HCHANNEL = std::uint32_t;
using HTARGET = std::uint32_t;

// Blend bits of a quad.
constexpr int BLEND_COLORADD = 1;
constexpr int BLEND_COLORMUL = 0;
constexpr int BLEND_ALPHABLEND = 2;
constexpr int BLEND_ALPHAADD = 0;
constexpr int BLEND_ZWRITE = 4;
constexpr int BLEND_NOZWRITE = 0;
constexpr int BLEND_DEFAULT = BLEND_COLORMUL | BLEND_ALPHABLEND | BLEND_NOZWRITE;

// Engine states, one enum per value type so that System_SetState picks the right form.
enum hgeBoolState {
    HGE_WINDOWED = 1,
    HGE_USESOUND = 4,
    HGE_SHOWSPLASH = 7,
};
enum hgeFuncState {
    HGE_FRAMEFUNC = 8,
    HGE_RENDERFUNC = 9,
    // Called before a frame's callbacks when the pictures of render targets were lost (the
    // renderer was reset, or the output changed size); whoever drew them draws them again.
    HGE_GFXRESTOREFUNC = 12,
};
enum hgeIntState {
    HGE_SCREENWIDTH = 17,
    HGE_SCREENHEIGHT = 18,
};

using hgeCallback = bool (*)();

// Virtual key codes.
constexpr int HGEK_LBUTTON = 0x01;
constexpr int HGEK_RBUTTON = 0x02;
constexpr int HGEK_ENTER = 0x0D;
constexpr int HGEK_ESCAPE = 0x1B;
constexpr int HGEK_SPACE = 0x20;
constexpr int HGEK_0 = 0x30;
constexpr int HGEK_1 = 0x31;
constexpr int HGEK_2 = 0x32;
constexpr int HGEK_3 = 0x33;
constexpr int HGEK_4 = 0x34;
constexpr int HGEK_5 = 0x35;
constexpr int HGEK_6 = 0x36;
constexpr int HGEK_7 = 0x37;
constexpr int HGEK_8 = 0x38;
constexpr int HGEK_9 = 0x39;
constexpr int HGEK_A = 0x41;
constexpr int HGEK_B = 0x42;
constexpr int HGEK_C = 0x43;
constexpr int HGEK_D = 0x44;
constexpr int HGEK_E = 0x45;
constexpr int HGEK_F = 0x46;
constexpr int HGEK_G = 0x47;
constexpr int HGEK_H = 0x48;
constexpr int HGEK_I = 0x49;
constexpr int HGEK_J = 0x4A;
constexpr int HGEK_K = 0x4B;
constexpr int HGEK_L = 0x4C;
constexpr int HGEK_M = 0x4D;
constexpr int HGEK_N = 0x4E;
constexpr int HGEK_O = 0x4F;
constexpr int HGEK_P = 0x50;
constexpr int HGEK_Q = 0x51;
constexpr int HGEK_R = 0x52;
constexpr int HGEK_S = 0x53;
constexpr int HGEK_T = 0x54;
constexpr int HGEK_U = 0x55;
constexpr int HGEK_V = 0x56;
constexpr int HGEK_W = 0x57;
constexpr int HGEK_X = 0x58;
constexpr int HGEK_Y = 0x59;
constexpr int HGEK_Z = 0x5A;

// Text alignment bits: the low two choose the horizontal alignment, the next two the vertical
// one (boxed printing only).
constexpr int HGETEXT_LEFT = 0;
constexpr int HGETEXT_RIGHT = 1;
constexpr int HGETEXT_CENTER = 2;
constexpr int HGETEXT_HORZMASK = 0x03;
constexpr int HGETEXT_TOP = 0;
constexpr int HGETEXT_BOTTOM = 4;
constexpr int HGETEXT_MIDDLE = 8;
constexpr int HGETEXT_VERTMASK = 0x0C;

struct hgeVertex {
    float x, y;         // screen position in pixels
    float z;            // depth, 0.5 by default
    std::uint32_t col;  // ARGB colour, multiplies the texture
    float tx, ty;       // texture coordinates as fractions of the texture's size
};

struct hgeQuad {
    hgeVertex v[4];  // top-left, top-right, bottom-right, bottom-left when unflipped
    HTEXTURE tex;    // 0: untextured
    int blend;       // BLEND_* bits
};

class HGE {
  public:
    // Drops one reference taken by hgeCreate.
    virtual void Release() = 0;

    virtual bool System_Initiate() = 0;
    virtual void System_Shutdown() = 0;
    // Runs the frame loop until the frame callback returns true; returns at once, calling no
    // callback, when System_Initiate did not succeed.
    virtual bool System_Start() = 0;
    virtual void System_SetStateBool(hgeBoolState state, bool value) = 0;
    virtual void System_SetStateFunc(hgeFuncState state, hgeCallback value) = 0;
    virtual void System_SetStateInt(hgeIntState state, int value) = 0;
    virtual void System_Log(const char* format, ...) __attribute__((format(printf, 2, 3))) = 0;

    void System_SetState(hgeBoolState state, bool value) { System_SetStateBool(state, value); }
    void System_SetState(hgeFuncState state, hgeCallback value) {
        System_SetStateFunc(state, value);
    }
    void System_SetState(hgeIntState state, int value) { System_SetStateInt(state, value); }

    // The whole file, or null; the caller gives it back with Resource_Free.
    virtual void* Resource_Load(const char* filename, std::uint32_t* size = nullptr) = 0;
    virtual void Resource_Free(void* res) = 0;

    virtual HTEXTURE Texture_Load(const char* filename, std::uint32_t size = 0,
                                  bool bMipmap = false) = 0;
    virtual void Texture_Free(HTEXTURE tex) = 0;
    virtual int Texture_GetWidth(HTEXTURE tex, bool bOriginal = false) = 0;
    virtual int Texture_GetHeight(HTEXTURE tex, bool bOriginal = false) = 0;

    virtual HEFFECT Effect_Load(const char* filename, std::uint32_t size = 0) = 0;
    // volume 0..100, pan -100..100; every call is one more overlapping play.
    virtual HCHANNEL Effect_PlayEx(HEFFECT eff, int volume = 100, int pan = 0, float pitch = 1.0f,
                                   bool loop = false) = 0;
    virtual HSTREAM Stream_Load(const char* filename, std::uint32_t size = 0) = 0;
    virtual HCHANNEL Stream_Play(HSTREAM stream, bool loop, int volume = 100) = 0;

    // Seed 0 seeds from the clock.
    virtual void Random_Seed(int seed = 0) = 0;
    // Both bounds included.
    virtual int Random_Int(int min, int max) = 0;
    virtual float Random_Float(float min, float max) = 0;

    // Seconds since the previous frame; 0 on the first frame.
    virtual float Timer_GetDelta() = 0;

    virtual void Input_GetMousePos(float* x, float* y) = 0;
    virtual bool Input_GetKeyState(int key) = 0;
    // The key pressed this frame, else 0.
    virtual int Input_GetKey() = 0;

    // A scene draws into `target`, or onto the screen with 0; only a screen scene presents.
    virtual bool Gfx_BeginScene(HTARGET target = 0) = 0;
    virtual void Gfx_EndScene() = 0;
    virtual void Gfx_Clear(std::uint32_t color) = 0;
    virtual void Gfx_RenderQuad(const hgeQuad* quad) = 0;
    // quads[0] to quads[count - 1] in that order, exactly as that many Gfx_RenderQuad calls: a
    // loop that draws hundreds of sprites hands them over in runs, since a call through this
    // interface costs far more than the quad's own work in WebAssembly (bench/README.md).
    virtual void Gfx_RenderQuads(const hgeQuad* quads, int count) = 0;

    // A picture of width x height, in the units quads are placed in, that scenes draw into and
    // quads show through Target_GetTexture. Its pixels follow the output's scale, so what is drawn
    // into it is as sharp as on the screen. 0 when the engine has none to give.
    virtual HTARGET Target_Create(int width, int height, bool zbuffer) = 0;
    virtual void Target_Free(HTARGET target) = 0;
    // The target's picture as a texture of the target's width x height; 0 for no target. A quad
    // showing it replaces what lies under it, whatever its blend: a target's picture is opaque.
    virtual HTEXTURE Target_GetTexture(HTARGET target) = 0;

  protected:
    virtual ~HGE() = default;
};

// Every call returns the same interface and counts one reference; provided at link time by the
// engine the program is linked with.
HGE* hgeCreate(int ver);
