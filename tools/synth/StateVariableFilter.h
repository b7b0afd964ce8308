#ifndef STATE_VARIABLE_FILTER_H
#define STATE_VARIABLE_FILTER_H

// A Chamberlin state-variable filter: one pass per sample gives low-, band- and
// high-pass outputs at once, and the cutoff may change every sample, which is what
// gliding vowels and sweeping noise need. It stays stable up to a sixth of the sample
// rate; higher cutoffs are held there.
class StateVariableFilter {
public:
    // Filters one sample at the cutoff (Hz) with the damping (2 = none, small = sharp).
    void Process(float in, double cutoff, float damping);

    float Low() const { return low_; }
    float Band() const { return band_; }
    float High() const { return high_; }

private:
    float low_ = 0.0f;
    float band_ = 0.0f;
    float high_ = 0.0f;
};

#endif
