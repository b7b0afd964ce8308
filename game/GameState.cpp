#include "GameState.h"

MvStage* GameState::engine = nullptr;
int GameState::chosenLevel = 1;
int GameState::points = 0;
int GameState::lives = 0;
int GameState::ticks = 0;
int GameState::flagsCollected = 0;
int GameState::enemiesDefeated = 0;
int GameState::vx = 0;
int GameState::vy = 10;
int GameState::apexY = 0;
bool GameState::rightKeyHeld = false;
bool GameState::stickHeld = false;
bool GameState::runHeld = false;
int GameState::shiftKeysHeld = 0;
bool GameState::onGround = false;
bool GameState::jumping = false;
bool GameState::facingLeft = false;
bool GameState::lost = false;
Mix_Chunk* GameState::music = nullptr;
int GameState::originX = 0;
int GameState::originY = 0;
int GameState::rightBound = 0;

void ResetCounters()
{
    GameState::enemiesDefeated = 0;
    GameState::points = 0;
    GameState::ticks = 0;
    GameState::lives = 2;
    GameState::flagsCollected = 0;
}
