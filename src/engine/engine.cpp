#include "engine/engine.h"

Engine::Engine() : bandRows(6, std::vector<std::string>(5)) {}
