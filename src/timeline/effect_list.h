#pragma once
#include <memory>
#include <vector>

#include "timeline/effekt.h"

// The effects of the show in script order; later entries draw over earlier ones.
using EffectList = std::vector<std::unique_ptr<Effekt>>;
