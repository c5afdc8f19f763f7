#pragma once
#include <cstddef>
#include <cstdint>
#include <list>

#include "render/float3.h"

namespace Effekter {

struct BrumParticle {
    Float3 start;      // the figure's position at birth
    Float3 direction;  // drift direction, each component 0..1
    float speed;       // distance factor, 0..0.5
    uint32_t birth;    // music time, ms
    uint32_t death;    // music time after which the particle is not drawn, ms
};

// Where a particle is and how bright at a time no later than its death.
struct ParticleLook {
    Float3 position;
    float fade;  // 1 at birth, 0 at death
};
ParticleLook LookAt(const BrumParticle& particle, uint32_t time);

// The star trail that the figure sheds: at most one particle every 11 ms,
// each living up to ten seconds, newest first.
//
// A particle is dropped once the time is past its death: a dead particle is
// never drawn again while time runs forward, so the picture is the same as if
// it were kept, and a looping show no longer grows the list without end. The
// list is also capped, for the case where seeking back again and again spawns
// particles that all die in the future; forward play never reaches the cap,
// since no more than 10000 / 11 particles are alive at once.
class BrumTrail {
public:
    static constexpr size_t kMaxParticles = 1024;

    // Spawns a particle at the figure's position when more than 10 ms (as an
    // unsigned difference) have passed since lastSpawn, drawing five numbers
    // from the shared generator, then drops the dead particles.
    void Update(uint32_t time, const Float3& figure, uint32_t& lastSpawn);

    // Calls visit(particle) for every particle drawn at this time, newest first.
    template <class Visit>
    void ForEachLive(uint32_t time, Visit visit) const
    {
        for (const BrumParticle& particle : particles_)
            if (time <= particle.death)
                visit(particle);
    }

    size_t Count() const { return particles_.size(); }
    const BrumParticle& Newest() const { return particles_.front(); }

private:
    std::list<BrumParticle> particles_;
    // Nodes of dropped particles, reused by later spawns so that steady play
    // allocates nothing.
    std::list<BrumParticle> spare_;
};

}  // namespace Effekter
