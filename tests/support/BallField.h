#ifndef BALL_FIELD_H
#define BALL_FIELD_H

// The busy scene of the stage benchmark, shared with the test that counts allocations per
// frame: many 24 x 24 balls (shaded discs with transparent corners and a translucent rim,
// as game sprites have) scattered over the screen on a jittered grid, some overlapping,
// at a few depths.

#include "MvAction.h"
#include "MvPaintTarget.h"
#include "MvRle.h"
#include "MvSceneTree.h"
#include "MvSpriteNode.h"
#include "MvSpriteResource.h"

#include <memory>
#include <vector>

namespace ballfield {

const int BallSize = 24;
const int KindCount = 4;

// The alpha of ball pixel (x, y): opaque inside, 128 on the rim, 0 in the corners.
inline int BallAlpha(int x, int y)
{
    const double centre = (BallSize - 1) / 2.0;
    const double dx = x - centre, dy = y - centre;
    const double r2 = dx * dx + dy * dy;
    const double limit = centre * centre;
    return r2 <= limit * 0.8 ? 255 : (r2 <= limit ? 128 : 0);
}

// A ball sprite of one frame; kind varies the colours.
inline MvSpriteResource* MakeBall(int kind)
{
    std::vector<MvColor> pixels(BallSize * BallSize);
    for (int y = 0; y < BallSize; ++y)
        for (int x = 0; x < BallSize; ++x)
            pixels[y * BallSize + x].Set(static_cast<uint8_t>(60 * kind + x * 4), static_cast<uint8_t>(200 - y * 5),
                                         static_cast<uint8_t>(40 + kind * 50), static_cast<uint8_t>(BallAlpha(x, y)));
    MvPaintTarget source(pixels.data(), BallSize, BallSize);
    MvSpriteResource* sprite = new MvSpriteResource("ball");
    MvAction* action = new MvAction("NONE");
    action->SetFrameCount(1);
    action->FrameAt(0)->Create(source, 0, 0, BallSize, BallSize, 0, 0, 0, 0);
    sprite->AppendAction(action);
    return sprite;
}

// The KindCount ball sprites; they must outlive the nodes that show them.
inline std::vector<std::unique_ptr<MvSpriteResource>> MakeBallKinds()
{
    std::vector<std::unique_ptr<MvSpriteResource>> kinds;
    for (int k = 0; k < KindCount; ++k)
        kinds.emplace_back(MakeBall(k));
    return kinds;
}

// Inserts count balls of kinds under the root of tree, inside a width x height screen.
inline void ScatterBalls(MvSceneTree* tree, const std::vector<std::unique_ptr<MvSpriteResource>>& kinds, int count,
                         int width, int height)
{
    unsigned seed = 12345;
    for (int i = 0; i < count; ++i) {
        seed = seed * 1103515245u + 12345u;
        MvSpriteNode* node = new MvSpriteNode(kinds[i % kinds.size()].get());
        node->MoveTo(static_cast<int>(seed >> 8) % (width - BallSize), static_cast<int>(seed >> 16) % (height - BallSize));
        node->SetDepth(i % 7);
        tree->InsertNode(nullptr, node);
    }
}

} // namespace ballfield

#endif
