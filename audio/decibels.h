#ifndef DECIBELS_H
#define DECIBELS_H

#include <cmath>
#include <limits>

// Levels in decibels against full scale (1.0), and back.
namespace Decibels {

// -infinity for silence.
inline double FromAmplitude(double amplitude)
{
    return amplitude > 0 ? 20 * std::log10(amplitude) : -std::numeric_limits<double>::infinity();
}

inline double ToAmplitude(double decibels)
{
    return std::pow(10.0, decibels / 20);
}

} // namespace Decibels

#endif // DECIBELS_H
