#ifndef SOUND_FILE_H
#define SOUND_FILE_H

// Turning a finished mix into files the game's mixer reads: 16-bit stereo samples at
// 44.1 kHz, stored as a RIFF/WAVE PCM file or encoded as Ogg Vorbis.

#include "StereoBuffer.h"

#include <cstdint>
#include <string>
#include <vector>

// Interleaved left/right 16-bit samples of the buffer, scaled so its loudest sample
// reaches peak (a fraction of full scale); a silent buffer stays silent.
std::vector<int16_t> ToPcm(const StereoBuffer& buffer, float peak);

// Writes the samples as a RIFF/WAVE PCM file; false with a message in error on failure.
bool WriteWav(const std::string& path, const std::vector<int16_t>& pcm, std::string& error);

// Encodes the samples as Ogg Vorbis at the given quality (-0.1 .. 1) with a title tag;
// false with a message in error on failure. The stream serial number is fixed, so the
// same samples always give the same file.
bool WriteOgg(const std::string& path, const std::vector<int16_t>& pcm, float quality, const char* title,
              std::string& error);

#endif
