#include "MvTextureEnv.h"

#include "MvAssert.h"
#include "MvTextureRef.h"

#include <GL/gl.h>

void ApplyToTextureEnv(const MvColorXform& transform, bool smooth, const MvTextureRef& texture)
{
    const GLint filter = (smooth || texture.IsScaled()) ? GL_LINEAR : GL_NEAREST;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);

    GLfloat environment[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    GLfloat color[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    GLint mode;
    const MvColor& mul = transform.mul;
    const MvColor& add = transform.add;
    const float alpha = add.alpha / 255.0f;
    if (transform.IsIdentity()) {
        mode = GL_REPLACE;
    } else if (add.red == 0 && add.green == 0 && add.blue == 0) {
        mode = GL_MODULATE;
        color[0] = mul.RedF();
        color[1] = mul.GreenF();
        color[2] = mul.BlueF();
        color[3] = alpha;
    } else {
        // GL_BLEND gives fragment * (1 - texel) + environment * texel per channel: with
        // the offsets as fragment colour and offset + multiplier as environment colour
        // that is offset + multiplier * texel.
        mode = GL_BLEND;
        color[0] = add.RedF();
        color[1] = add.GreenF();
        color[2] = add.BlueF();
        color[3] = alpha;
        environment[0] = mul.RedF() + add.RedF();
        environment[1] = mul.GreenF() + add.GreenF();
        environment[2] = mul.BlueF() + add.BlueF();
    }
    glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, environment);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, mode);
    glColor4f(color[0], color[1], color[2], color[3]);

    GLint modeSet = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &modeSet);
    MvAssert(modeSet == mode);
    GLfloat colorSet[4];
    glGetFloatv(GL_CURRENT_COLOR, colorSet);
    for (int i = 0; i < 4; ++i)
        MvAssert(colorSet[i] == color[i]);
    MvAssert(glGetError() == GL_NO_ERROR);
}
