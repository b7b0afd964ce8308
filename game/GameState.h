#ifndef GAME_STATE_H
#define GAME_STATE_H
#endif
