#include "world/shared_state.h"

HGE* engine = nullptr;
int level = kStartLevel;
