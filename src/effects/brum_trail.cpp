#include "effects/brum_trail.h"

#include <cmath>
#include <iterator>

#include "render/screen.h"

namespace Effekter {

ParticleLook LookAt(const BrumParticle& particle, uint32_t time)
{
    const uint32_t life = particle.death - particle.birth;
    // A zero lifetime would divide 0 by 0; such a particle is dying already.
    const float k = life == 0 ? 1.0f : static_cast<float>(time - particle.birth) / static_cast<float>(life);
    const float reach = k * particle.speed;
    const Float3& s = particle.start;
    const Float3& d = particle.direction;
    return ParticleLook{Float3(s.x + d.x * reach, s.y + d.y * reach, s.z + d.z * reach), 1 - k};
}

void BrumTrail::Update(uint32_t time, const Float3& figure, uint32_t& lastSpawn)
{
    if (time - lastSpawn > 10) {
        const float r1 = RandomUnit();
        const float r2 = RandomUnit();
        const float r3 = RandomUnit();
        const float r4 = std::fabs(RandomUnit());
        const float r5 = RandomUnit();
        const float t = static_cast<float>(time);
        BrumParticle particle;
        particle.start = figure;
        particle.direction = Float3(r3, r2, r1);
        particle.speed = static_cast<float>(r5 * 0.5);
        particle.birth = time;
        particle.death = static_cast<uint32_t>(static_cast<int64_t>(r4 * 10000 + t));
        if (spare_.empty())
            particles_.push_front(particle);
        else {
            spare_.front() = particle;
            particles_.splice(particles_.begin(), spare_, spare_.begin());
        }
        lastSpawn = time;
    }
    for (auto it = particles_.begin(); it != particles_.end();) {
        auto next = std::next(it);
        if (time > it->death)
            spare_.splice(spare_.begin(), particles_, it);
        it = next;
    }
    while (particles_.size() > kMaxParticles)
        spare_.splice(spare_.begin(), particles_, std::prev(particles_.end()));
}

}  // namespace Effekter
