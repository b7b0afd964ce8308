#include "GameState.h"
