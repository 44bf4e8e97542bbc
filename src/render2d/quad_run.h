// Quads gathered to go to the engine in one call. A loop that draws hundreds of sprites (the marks
// on the ground, the pickups) adds them here and the engine gets them in runs, in the order they
// were added: in WebAssembly a call through the engine interface costs far more than a quad's own
// work. Natively the calls cost less than gathering the quads (the full-load frame was 13 %
// slower gathered), so there each quad goes on at once (bench/README.md).
#pragma once

#include "engine/hge.h"

class QuadRun {
  public:
#ifdef __EMSCRIPTEN__
    static constexpr bool kGathers = true;
#else
    static constexpr bool kGathers = false;
#endif

    explicit QuadRun(HGE* engine) : engine_(engine) {}
    QuadRun(const QuadRun&) = delete;
    QuadRun& operator=(const QuadRun&) = delete;
    // What is left goes to the engine as the run goes out of scope, before anything drawn after.
    ~QuadRun() {
        Flush();
    }

    // A copy of `quad` after the others, for the caller to finish (its corners); a full run goes
    // to the engine first.
    hgeQuad& Add(const hgeQuad& quad) {
        if (count_ == kCapacity) {
            Flush();
        }
        // Part by part: a whole quad is more than WebAssembly's compiler copies inline, and a call
        // to memcpy for every quad cost more than the engine calls it saves.
        hgeQuad& slot = quads_[count_++];
        slot.v[0] = quad.v[0];
        slot.v[1] = quad.v[1];
        slot.v[2] = quad.v[2];
        slot.v[3] = quad.v[3];
        slot.tex = quad.tex;
        slot.blend = quad.blend;
        return slot;
    }
    void Flush() {
        if (count_ > 0) {
            engine_->Gfx_RenderQuads(quads_, count_);
            count_ = 0;
        }
    }

  private:
    static constexpr int kCapacity = 64;

    HGE* engine_;
    int count_ = 0;
    hgeQuad quads_[kCapacity];
};
