#pragma once
#include <cmath>
#include <cstdint>

// Small building blocks for the generated music: oscillators, a filter and
// noise, all plain double arithmetic so that every run gives the same samples.
namespace synth {

constexpr double kPi = 3.14159265358979323846;

inline double MidiToHz(double note)
{
    return 440.0 * std::pow(2.0, (note - 69.0) / 12.0);
}

// Band-limited sawtooth (PolyBLEP corrected), output -1..1.
class Saw {
public:
    double Next(double hz, double rate)
    {
        const double dt = hz / rate;
        double value = 2.0 * phase_ - 1.0 - Blep(phase_, dt);
        phase_ += dt;
        if (phase_ >= 1.0)
            phase_ -= 1.0;
        return value;
    }
    void SetPhase(double phase) { phase_ = phase; }

private:
    static double Blep(double t, double dt)
    {
        if (t < dt) {
            t /= dt;
            return t + t - t * t - 1.0;
        }
        if (t > 1.0 - dt) {
            t = (t - 1.0) / dt;
            return t * t + t + t + 1.0;
        }
        return 0.0;
    }
    double phase_ = 0;
};

// State-variable filter (trapezoidal form, stable under fast cutoff changes).
class Filter {
public:
    void Set(double cutoffHz, double resonance, double rate)
    {
        const double fc = std::fmin(cutoffHz, rate * 0.45);
        g_ = std::tan(kPi * fc / rate);
        k_ = 2.0 - 2.0 * resonance;
        a1_ = 1.0 / (1.0 + g_ * (g_ + k_));
    }
    double LowPass(double x)
    {
        Step(x);
        return low_;
    }
    double HighPass(double x)
    {
        Step(x);
        return x - k_ * band_ - low_;
    }

private:
    void Step(double x)
    {
        const double v1 = a1_ * (ic1_ + g_ * (x - ic2_));
        const double v2 = ic2_ + g_ * v1;
        ic1_ = 2.0 * v1 - ic1_;
        ic2_ = 2.0 * v2 - ic2_;
        band_ = v1;
        low_ = v2;
    }
    double g_ = 0, k_ = 2, a1_ = 1;
    double ic1_ = 0, ic2_ = 0, band_ = 0, low_ = 0;
};

// White noise from a fixed-seed xorshift generator, -1..1.
class Noise {
public:
    explicit Noise(uint32_t seed) : state_(seed ? seed : 1) {}
    double Next()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_ / 2147483647.5 - 1.0;
    }

private:
    uint32_t state_;
};

}  // namespace synth
