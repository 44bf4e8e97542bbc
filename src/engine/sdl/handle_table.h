// Loaded textures and sounds live in slots: handle n is slot n - 1, and 0 means none, so a failed
// load's 0 can be passed around and used like any other handle.
#pragma once

#include <cstdint>
#include <vector>

template <class T>
class HandleTable {
  public:
    std::uint32_t Add(T* item) {
        slots_.push_back(item);
        return static_cast<std::uint32_t>(slots_.size());
    }
    T* Get(std::uint32_t handle) const {
        return handle == 0 || handle > slots_.size() ? nullptr : slots_[handle - 1];
    }
    // Empties the slot; the handle stays taken so it never names something else.
    void Forget(std::uint32_t handle) {
        if (Get(handle) != nullptr) {
            slots_[handle - 1] = nullptr;
        }
    }
    template <class Free>
    void FreeAll(Free free) {
        for (T* item : slots_) {
            if (item != nullptr) {
                free(item);
            }
        }
        slots_.clear();
    }

  private:
    std::vector<T*> slots_;
};
