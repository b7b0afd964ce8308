#include "StateVariableFilter.h"

#include "SampleRate.h"

#include <algorithm>
#include <cmath>

void StateVariableFilter::Process(float in, double cutoff, float damping)
{
    const double pi = 3.14159265358979323846;
    double limited = std::min(cutoff, SampleRate / 6.0);
    float f = static_cast<float>(2.0 * std::sin(pi * limited / SampleRate));
    low_ += f * band_;
    high_ = in - low_ - damping * band_;
    band_ += f * high_;
}
