#include "show/show.h"

namespace {

void DestroyEffectsInOrder(EffectList& effects)
{
    for (auto& effect : effects)
        effect.reset();
    effects.clear();
}

}  // namespace

Show::~Show()
{
    DestroyEffectsInOrder(effects);
}

void DiscardShow(Show& show)
{
    DestroyEffectsInOrder(show.effects);
    show.names.clear();
    show.lines.clear();
    show.gl.Free();
}

void AbandonEffects(Show& show)
{
    for (auto& effect : show.effects)
        effect.release();
    show.effects.clear();
}
