#ifndef MV_TEXTURE_ENV_H
#define MV_TEXTURE_ENV_H

#include "MvColorXform.h"

class MvTextureRef;

/// @file
/// How a colour transform is shown on the OpenGL path: as texture environment state.

/// Sets up the bound GL_TEXTURE_2D and the texture environment so that the next quad
/// shows texture through transform: filtering linear when smooth is true (the drawing is
/// scaled) or the texture is a resampled copy, nearest otherwise, and clamped at the
/// edges; the identity replaces with the texels, a transform without colour offsets
/// modulates them by the multipliers and the alpha, and one with offsets blends so that
/// each channel becomes offset + multiplier * texel and alpha becomes alpha * texel alpha.
/// Asserts the mode and colour read back as set and OpenGL reports no error.
void ApplyToTextureEnv(const MvColorXform& transform, bool smooth, const MvTextureRef& texture);

#endif
