// A first Movo program: a hero walks across a 640 x 480 screen for two seconds, then the
// program says where it got to. It loads hero.dat from the current folder, made from
// hero.xml with movo-pixelart and movo-encode.

#include <movo/Movo.h>

#include <cstdio>

int main()
{
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "SDL cannot start: %s\n", SDL_GetError());
        return 1;
    }
    // The stage paints 16, 24 or 32-bit screens: ask for 32 bits.
    SDL_Surface* screen = SDL_SetVideoMode(640, 480, 32, SDL_SWSURFACE);
    if (screen == nullptr) {
        std::fprintf(stderr, "no 640 x 480 screen: %s\n", SDL_GetError());
        SDL_Quit();
        return 1;
    }
    MvStage* stage = new MvStage(screen);
    if (!stage->Vault()->LoadDatFile("hero.dat")) { // the reason is on standard error
        delete stage;
        SDL_Quit();
        return 1;
    }
    MvSpriteNode* hero = new MvSpriteNode(stage->Vault()->FindSpriteResource("Hero"));
    hero->MoveTo(100, 300);
    stage->SceneTree()->InsertNode(nullptr, hero); // the tree owns the node now

    bool running = true;
    for (int frame = 0; frame < 100 && running; ++frame) {
        SDL_Event event;
        while (SDL_PollEvent(&event))
            if (event.type == SDL_QUIT)
                running = false;
        hero->Step();      // the next picture of "Walk", and 4 pixels on
        stage->Draw(true); // repaints what changed
        SDL_Delay(20);
    }
    std::printf("The hero walked to x = %d.\n", hero->PosX(0));

    delete stage; // the nodes, then the resources
    SDL_Quit();
    return 0;
}
