// A program of an engine user's own, built against the installed engine: it shows the
// sprite "Badge" of a resource file on a sky-blue screen at (100, 60), draws one frame,
// saves what the screen shows as a PNG file and prints the renderer description and the
// version of the engine's headers, "major.minor.patch", a line each.
//
//   consumer RESOURCES.dat OUT.png

#include <movo/Movo.h>

#include <SDL.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: consumer RESOURCES.dat OUT.png\n");
        return 2;
    }
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "consumer: %s\n", SDL_GetError());
        return 1;
    }
    SDL_Surface* screen = SDL_SetVideoMode(320, 240, 0, SDL_SWSURFACE);
    if (screen == nullptr) {
        std::fprintf(stderr, "consumer: %s\n", SDL_GetError());
        SDL_Quit();
        return 1;
    }
    MvSetLogStream(nullptr);

    MvStage* stage = new MvStage(screen);
    MvColor sky;
    sky.Set(90, 160, 230, 255);
    stage->SetBackgroundColor(&sky);
    if (!stage->Vault()->LoadDatFile(argv[1])) {
        delete stage;
        SDL_Quit();
        return 1;
    }
    MvSpriteNode* node = new MvSpriteNode(stage->Vault()->FindSpriteResource("Badge"));
    node->MoveTo(100, 60);
    stage->SceneTree()->InsertNode(nullptr, node);
    stage->Draw(true);

    std::string error;
    const bool saved = stage->SaveScreenshot(argv[2], &error);
    if (!saved)
        std::fprintf(stderr, "consumer: %s\n", error.c_str());
    std::string description;
    stage->DescribeRenderer(&description);
    std::printf("%s\n%d.%d.%d\n", description.c_str(), MvVersionMajor, MvVersionMinor, MvVersionPatch);
    delete stage;
    SDL_Quit();
    return saved ? 0 : 1;
}
