#include "Labels.h"

void MenuTick() {}
