#include "Enemies.h"

#include "GameWorld.h"
#include "MvAssert.h"

void ResolveEnemyContacts(ContactSide* contacts) { MvAssert(contacts != nullptr); }

void GameWorld::StepEnemies() {}
