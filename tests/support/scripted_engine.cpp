#include "support/scripted_engine.h"

#include "engine/engine_choice.h"
#include "engine/engine_log.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace test {

namespace {
ScriptedEngine* current = nullptr;
// A test that asks hgeCreate before making an engine of its own gets the fallback.
[[maybe_unused]] const bool chosen = (ChooseEngine(ScriptedEngine::Acquire), true);
}  // namespace

ScriptedEngine* ScriptedEngine::Current() {
    return current;
}

ScriptedEngine::ScriptedEngine() {
    current = this;
    ChooseEngine(Acquire);
}

ScriptedEngine::~ScriptedEngine() {
    if (current == this) {
        current = nullptr;
    }
}

void ScriptedEngine::Call(const char* name, const char* arg) {
    if (!record) {
        return;
    }
    std::string entry = name;
    if (arg != nullptr) {
        entry += ' ';
        entry += arg;
    }
    calls.push_back(std::move(entry));
}

void ScriptedEngine::Push(const Event& e) {
    if (record) {
        events.push_back(e);
        events.back().target = scene_;
    }
}

bool ScriptedEngine::Fails(const char* filename) const {
    return filename == nullptr || missing.count(filename) != 0;
}

bool ScriptedEngine::Step(const Frame& frame) {
    current_ = frame;
    ++framesRun;
    bool done = false;
    if (frameFunc != nullptr) {
        done = frameFunc();
    }
    if (renderFunc != nullptr) {
        renderFunc();
    }
    return done;
}

bool ScriptedEngine::StepN(const Frame& frame, int count) {
    for (int i = 0; i < count; ++i) {
        if (Step(frame)) {
            return true;
        }
    }
    return false;
}

void ScriptedEngine::ClearRecords() {
    calls.clear();
    events.clear();
    seeds.clear();
    intRanges.clear();
    quadCount = 0;
}

std::vector<hgeQuad> ScriptedEngine::Quads() const {
    std::vector<hgeQuad> out;
    for (const Event& e : events) {
        if (e.kind == Event::Quad) {
            out.push_back(e.quad);
        }
    }
    return out;
}

std::vector<std::string> ScriptedEngine::Logs() const {
    std::vector<std::string> out;
    for (const Event& e : events) {
        if (e.kind == Event::Log) {
            out.push_back(e.text);
        }
    }
    return out;
}

std::string ScriptedEngine::TexturePath(HTEXTURE tex) const {
    return tex >= 1 && tex <= textures_.size() ? textures_[tex - 1].path : std::string();
}

// ---- the engine interface ----

void ScriptedEngine::Release() {
    Call("Release");
    --refCount;
}

bool ScriptedEngine::System_Initiate() {
    Call("System_Initiate");
    initiated = initiateResult;
    return initiated;
}

void ScriptedEngine::System_Shutdown() {
    Call("System_Shutdown");
}

bool ScriptedEngine::System_Start() {
    Call("System_Start");
    if (!initiated) {
        return false;
    }
    // Each frame is played where it stands: moving a Frame out would allocate (its deques).
    while (!script.empty()) {
        const bool ends = Step(script.front());
        script.pop_front();
        if (ends) {
            break;
        }
    }
    return true;
}

void ScriptedEngine::System_SetStateBool(hgeBoolState, bool) {}

void ScriptedEngine::System_SetStateFunc(hgeFuncState state, hgeCallback value) {
    (state == HGE_FRAMEFUNC    ? frameFunc
     : state == HGE_RENDERFUNC ? renderFunc
                               : restoreFunc) = value;
}

void ScriptedEngine::System_SetStateInt(hgeIntState, int) {}

void ScriptedEngine::System_Log(const char* format, ...) {
    char line[kLogLineBytes];
    va_list args;
    va_start(args, format);
    FormatLogLine(line, format, args);
    va_end(args);
    Call("System_Log", line);
    Event e{Event::Log};
    e.text = line;
    Push(e);
}

void* ScriptedEngine::Resource_Load(const char* filename, std::uint32_t* size) {
    Call("Resource_Load", filename);
    if (Fails(filename)) {
        return nullptr;
    }
    const auto it = files.find(filename);
    if (it == files.end()) {
        return nullptr;
    }
    const std::vector<char>& bytes = it->second;
    // Never hand out a null pointer for an empty file: the caller tells failure by null.
    void* data = std::malloc(bytes.empty() ? 1 : bytes.size());
    if (!bytes.empty()) {
        std::memcpy(data, bytes.data(), bytes.size());
    }
    if (size != nullptr) {
        *size = static_cast<std::uint32_t>(bytes.size());
    }
    return data;
}

void ScriptedEngine::Resource_Free(void* res) {
    Call("Resource_Free");
    std::free(res);
}

HTEXTURE ScriptedEngine::Texture_Load(const char* filename, std::uint32_t, bool) {
    Call("Texture_Load", filename);
    if (Fails(filename)) {
        return 0;
    }
    auto it = textureSizes.find(filename);
    std::pair<int, int> wh = it != textureSizes.end() ? it->second : std::pair<int, int>{64, 64};
    textures_.push_back({filename, wh.first, wh.second});
    return static_cast<HTEXTURE>(textures_.size());
}

void ScriptedEngine::Texture_Free(HTEXTURE tex) {
    Call("Texture_Free", TexturePath(tex).c_str());
}

int ScriptedEngine::Texture_GetWidth(HTEXTURE tex, bool) {
    return tex >= 1 && tex <= textures_.size() ? textures_[tex - 1].width : 0;
}

int ScriptedEngine::Texture_GetHeight(HTEXTURE tex, bool) {
    return tex >= 1 && tex <= textures_.size() ? textures_[tex - 1].height : 0;
}

HEFFECT ScriptedEngine::Effect_Load(const char* filename, std::uint32_t) {
    Call("Effect_Load", filename);
    if (Fails(filename)) {
        return 0;
    }
    effects_.push_back(filename);
    return static_cast<HEFFECT>(effects_.size());
}

HCHANNEL ScriptedEngine::Effect_PlayEx(HEFFECT eff, int volume, int pan, float pitch, bool loop) {
    if (record) {
        Event e{Event::Effect};
        e.volume = volume;
        e.pan = pan;
        e.pitch = pitch;
        e.loop = loop;
        e.text = eff >= 1 && eff <= effects_.size() ? effects_[eff - 1] : std::string();
        Push(e);
    }
    return eff;
}

HSTREAM ScriptedEngine::Stream_Load(const char* filename, std::uint32_t) {
    Call("Stream_Load", filename);
    if (Fails(filename)) {
        return 0;
    }
    streams_.push_back(filename);
    return static_cast<HSTREAM>(streams_.size());
}

HCHANNEL ScriptedEngine::Stream_Play(HSTREAM stream, bool loop, int volume) {
    Call("Stream_Play");
    Event e{Event::Stream};
    e.loop = loop;
    e.volume = volume;
    e.text = stream >= 1 && stream <= streams_.size() ? streams_[stream - 1] : std::string();
    Push(e);
    return stream;
}

std::uint32_t ScriptedEngine::NextRandom() {
    // splitmix64: deterministic, so scripted games replay exactly.
    std::uint64_t z = (rng_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return static_cast<std::uint32_t>((z ^ (z >> 31)) >> 32);
}

void ScriptedEngine::Random_Seed(int seed) {
    if (record) {
        seeds.push_back(seed);
    }
}

int ScriptedEngine::Random_Int(int min, int max) {
    if (record) {
        intRanges.emplace_back(min, max);
    }
    if (!current_.ints.empty()) {
        int v = current_.ints.front();
        current_.ints.pop_front();
        return v;
    }
    if (max <= min) {
        return min;
    }
    auto span = static_cast<std::uint32_t>(static_cast<std::int64_t>(max) - min + 1);
    return static_cast<int>(min + static_cast<std::int64_t>(NextRandom() % span));
}

float ScriptedEngine::Random_Float(float min, float max) {
    if (!current_.floats.empty()) {
        float v = current_.floats.front();
        current_.floats.pop_front();
        return v;
    }
    double unit = NextRandom() / 4294967295.0;
    return static_cast<float>(min + (static_cast<double>(max) - min) * unit);
}

float ScriptedEngine::Timer_GetDelta() {
    return current_.delta;
}

void ScriptedEngine::Input_GetMousePos(float* x, float* y) {
    *x = current_.mouseX;
    *y = current_.mouseY;
}

bool ScriptedEngine::Input_GetKeyState(int key) {
    return std::find(current_.held.begin(), current_.held.end(), key) != current_.held.end();
}

int ScriptedEngine::Input_GetKey() {
    return current_.pressed;
}

bool ScriptedEngine::Gfx_BeginScene(HTARGET target) {
    scene_ = target;
    Push(Event{Event::BeginScene});
    return true;
}

void ScriptedEngine::Gfx_EndScene() {
    Push(Event{Event::EndScene});
    scene_ = 0;
}

// A target is named by the handle of its texture, "target" to TexturePath.
HTARGET ScriptedEngine::Target_Create(int width, int height, bool) {
    textures_.push_back({"target", width, height});
    return targets ? static_cast<HTARGET>(textures_.size()) : 0;
}

void ScriptedEngine::Gfx_Clear(std::uint32_t color) {
    Event e{Event::Clear};
    e.color = color;
    Push(e);
}

void ScriptedEngine::Gfx_RenderQuad(const hgeQuad* quad) {
    ++quadCount;
    if (record) {
        Event e{Event::Quad};
        e.quad = *quad;
        Push(e);
    }
}

// A run is recorded quad by quad: what a test sees is the quads, however they were handed over.
void ScriptedEngine::Gfx_RenderQuads(const hgeQuad* quads, int count) {
    for (int i = 0; i < count; ++i) {
        Gfx_RenderQuad(&quads[i]);
    }
}

// The newest ScriptedEngine, or a fallback one for code that asks before a test made its own.
HGE* ScriptedEngine::Acquire() {
    ScriptedEngine* engine = Current();
    if (engine == nullptr) {
        static ScriptedEngine fallback;
        engine = &fallback;
    }
    ++engine->refCount;
    return engine;
}

}  // namespace test
