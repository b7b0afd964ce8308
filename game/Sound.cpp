#include "Sound.h"

void StopMusic() {}
