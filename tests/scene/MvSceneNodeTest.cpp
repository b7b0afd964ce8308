#include "SceneTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace scenetest;

namespace {

// d exactly, for values that are whole multiples of 1/65536 of either sign.
MvFixed Fix(double d) { return MvFixed::FromRaw(static_cast<int32_t>(d * 65536)); }

// The depths of parent's children, first to last.
std::vector<int> ChildDepths(MvSceneNode* parent)
{
    std::vector<int> depths;
    for (MvChildCursor c = parent->Children(); !c.Done(); c.Next())
        depths.push_back(c.Node()->Depth());
    return depths;
}

// The names of parent's children, first to last.
std::vector<std::string> ChildNames(MvSceneNode* parent)
{
    std::vector<std::string> names;
    for (MvChildCursor c = parent->Children(); !c.Done(); c.Next())
        names.push_back(c.Node()->Name());
    return names;
}

// A plain node inserted under parent with the given name and depth.
MvSceneNode* Child(StageOnScreen& s, MvSceneNode* parent, const char* name, int depth)
{
    MvSceneNode* node = new MvSceneNode();
    node->SetName(name);
    node->SetDepth(depth);
    return s.Insert(parent, node);
}

TEST(MvSceneNode, StartsDetachedAtTheOriginShownAndInvalidEverywhere)
{
    MvSceneNode node;
    EXPECT_EQ(node.Depth(), 0);
    EXPECT_STREQ(node.Name(), "");
    EXPECT_EQ(node.Id(), -1);
    EXPECT_EQ(node.UserData(), nullptr);
    EXPECT_EQ(node.Parent(), nullptr);
    EXPECT_EQ(node.Stage(), nullptr);
    EXPECT_TRUE(node.Children().Done());
    EXPECT_EQ(node.AsDrawable(), nullptr);
    EXPECT_EQ(node.AsSprite(), nullptr);
    EXPECT_EQ(node.AsTileNode(), nullptr);
    EXPECT_EQ(node.AsTextNode(), nullptr);
    EXPECT_EQ(node.AsWidget(), nullptr);
    EXPECT_EQ(node.AsTextEntry(), nullptr);
    EXPECT_EQ(node.AsCanvasNode(), nullptr);
    EXPECT_EQ(node.AsInterface(3), nullptr);
    MvGrowArray<MvSceneNode*> hits;
    EXPECT_FALSE(node.TestPoint(0, 0, MvPickAll, &hits, 0));
    EXPECT_EQ(hits.Count(), 0);
    for (int w = 0; w < MvWindowCount; ++w) {
        EXPECT_EQ(node.PosX(w), 0);
        EXPECT_EQ(node.PosY(w), 0);
        EXPECT_EQ(node.Xform(w), MvTransform::Identity());
        EXPECT_EQ(node.ScreenXform(w), MvTransform::Identity());
        EXPECT_TRUE(node.ColorXform(w).IsIdentity());
        EXPECT_TRUE(node.ScreenColorXform(w).IsIdentity());
        EXPECT_FALSE(node.Bounds(w).IsValid());
        EXPECT_FALSE(node.SubtreeBounds(w).IsValid());
        EXPECT_TRUE(node.IsShown(w));
        EXPECT_TRUE(node.IsShownInTree(w));
        EXPECT_TRUE(node.IsInvalid(w)) << "window " << w;
    }
}

TEST(MvSceneNode, CloneMakesAFreshNodeAndCopiesNothing)
{
    MvSceneNode node;
    node.MoveTo(4, 5);
    node.SetName("layer");
    node.SetId(9);
    node.SetDepth(3);
    MvSceneNode* clone = node.Clone();
    EXPECT_EQ(clone->PosX(0), 0);
    EXPECT_STREQ(clone->Name(), "");
    EXPECT_EQ(clone->Id(), -1);
    EXPECT_EQ(clone->Depth(), 0);
    delete clone;
}

// Every setter stores only where the value differs and marks exactly the windows it
// changed; repeating a setting marks nothing (Invalidate is the one exception).
TEST(MvSceneNode, SettersMarkOnlyTheWindowsTheyChange)
{
    MvColorXform half;
    half.SetAlpha(128);
    MvColorXform halfAgain; // equal to half, built separately
    halfAgain.SetAlpha(128);
    int userData = 0;
    struct Case {
        const char* what;
        std::function<void(MvSceneNode&)> change;
        std::vector<bool> marked;       // windows 0, 1, 2 after the first call
        std::vector<bool> markedRepeat; // after the same call once more
        std::function<bool(const MvSceneNode&)> stored;
    };
    const std::vector<bool> none = {false, false, false};
    const std::vector<bool> all = {true, true, true};
    const Case cases[] = {
        {"MoveTo(5, 7, -1)", [](MvSceneNode& n) { n.MoveTo(5, 7, -1); }, all, none,
         [](const MvSceneNode& n) { return n.PosX(2) == 5 && n.PosY(2) == 7; }},
        {"MoveTo to where it is", [](MvSceneNode& n) { n.MoveTo(0, 0, -1); }, none, none,
         [](const MvSceneNode& n) { return n.PosX(0) == 0; }},
        {"MoveTo in window 1, y only", [](MvSceneNode& n) { n.MoveTo(0, 3, 1); }, {false, true, false}, none,
         [](const MvSceneNode& n) { return n.PosY(1) == 3 && n.PosY(0) == 0; }},
        {"SetScaling in window 2", [](MvSceneNode& n) { n.SetScaling(Fix(2), Fix(1), 2); }, {false, false, true},
         none, [](const MvSceneNode& n) { return n.Xform(2).xScale == Fix(2) && n.Xform(0).xScale == Fix(1); }},
        {"SetScaling to 1.0", [](MvSceneNode& n) { n.SetScaling(Fix(1), Fix(1), -1); }, none, none,
         [](const MvSceneNode& n) { return !n.Xform(0).HasScale(); }},
        {"SetColorXform(identity)", [](MvSceneNode& n) { n.SetColorXform(MvColorXform(), -1); }, none, none,
         [](const MvSceneNode& n) { return n.ColorXform(0).IsIdentity(); }},
        {"SetColorXform(alpha 128) in window 0", [&](MvSceneNode& n) { n.SetColorXform(half, 0); },
         {true, false, false}, none, [](const MvSceneNode& n) { return n.ColorXform(0).Alpha() == 128; }},
        {"an equal colour transform built apart", [&](MvSceneNode& n) {
             n.SetColorXform(half, -1);
             n.SetColorXform(halfAgain, -1);
         },
         all, none, [](const MvSceneNode& n) { return n.ColorXform(1).Alpha() == 128; }},
        {"SetShown(true)", [](MvSceneNode& n) { n.SetShown(true, -1); }, none, none,
         [](const MvSceneNode& n) { return n.IsShown(0); }},
        {"SetShown(false) in window 2", [](MvSceneNode& n) { n.SetShown(false, 2); }, {false, false, true}, none,
         [](const MvSceneNode& n) { return !n.IsShown(2) && n.IsShown(1); }},
        {"SetDepth(0)", [](MvSceneNode& n) { n.SetDepth(0); }, none, none,
         [](const MvSceneNode& n) { return n.Depth() == 0; }},
        {"SetDepth(3)", [](MvSceneNode& n) { n.SetDepth(3); }, all, none,
         [](const MvSceneNode& n) { return n.Depth() == 3; }},
        {"Invalidate(1)", [](MvSceneNode& n) { n.Invalidate(1); }, {false, true, false}, {false, true, false},
         [](const MvSceneNode&) { return true; }},
        {"Invalidate(-1)", [](MvSceneNode& n) { n.Invalidate(-1); }, all, all,
         [](const MvSceneNode&) { return true; }},
        {"SetName, SetId, SetUserData", [&](MvSceneNode& n) {
             n.SetName("x");
             n.SetId(4);
             n.SetUserData(&userData);
         },
         none, none,
         [&](const MvSceneNode& n) {
             return std::string(n.Name()) == "x" && n.Id() == 4 && n.UserData() == &userData;
         }},
    };
    const MvIntRect windows[] = {R(0, 0, 9, 9), R(10, 0, 19, 9), R(20, 0, 29, 9)};
    for (const Case& c : cases) {
        StageOnScreen s(30, 10, 3, windows);
        MvSceneNode* node = s.Insert(nullptr, new MvSceneNode());
        s.Tree().Recompute();
        auto Marked = [&] {
            std::vector<bool> marked;
            for (int w = 0; w < 3; ++w)
                marked.push_back(node->IsInvalid(w));
            return marked;
        };
        ASSERT_EQ(Marked(), none) << c.what << ": the walk clears every window";
        c.change(*node);
        EXPECT_EQ(Marked(), c.marked) << c.what;
        EXPECT_TRUE(c.stored(*node)) << c.what;
        s.Tree().Recompute();
        c.change(*node);
        EXPECT_EQ(Marked(), c.markedRepeat) << c.what << ", repeated";
    }
}

TEST(MvSceneNode, WindowMinusOneMeansTheStagesWindowsInATreeAndEverySixDetached)
{
    MvSceneNode detached;
    detached.MoveTo(8, 9, -1);
    for (int w = 0; w < MvWindowCount; ++w)
        EXPECT_EQ(detached.PosX(w), 8) << "detached, window " << w;

    const MvIntRect windows[] = {R(0, 0, 9, 9), R(10, 0, 19, 9)};
    StageOnScreen s(20, 10, 2, windows);
    MvSceneNode* node = s.Insert(nullptr, new MvSceneNode());
    node->MoveTo(8, 9, -1);
    node->SetShown(false, -1);
    for (int w = 0; w < MvWindowCount; ++w) {
        EXPECT_EQ(node->PosX(w), w < 2 ? 8 : 0) << "in a two-window tree, window " << w;
        EXPECT_EQ(node->IsShown(w), w >= 2) << "window " << w;
    }
    // A single window beyond the stage's count may still be addressed.
    node->MoveTo(1, 1, 5);
    EXPECT_EQ(node->PosX(5), 1);
}

// Every setter that takes a window addresses all of them when the window is left out.
TEST(MvSceneNode, SettersWithoutAWindowAddressEveryWindow)
{
    MvColorXform faded;
    faded.SetAlpha(128);
    struct Case {
        const char* what;
        std::function<void(MvSceneNode&)> set;
        std::function<bool(const MvSceneNode&, int)> changed;
    } cases[] = {
        {"MoveTo", [](MvSceneNode& n) { n.MoveTo(4, 5); }, [](const MvSceneNode& n, int w) { return n.PosX(w) == 4; }},
        {"MoveBy", [](MvSceneNode& n) { n.MoveBy(4, 5); }, [](const MvSceneNode& n, int w) { return n.PosY(w) == 5; }},
        {"SetScaling", [](MvSceneNode& n) { n.SetScaling(Fix(2), Fix(3)); },
         [](const MvSceneNode& n, int w) { return n.Xform(w).yScale == Fix(3); }},
        {"SetColorXform", [&](MvSceneNode& n) { n.SetColorXform(faded); },
         [&](const MvSceneNode& n, int w) { return n.ColorXform(w) == faded; }},
        {"SetShown", [](MvSceneNode& n) { n.SetShown(false); },
         [](const MvSceneNode& n, int w) { return !n.IsShown(w); }},
    };
    for (const Case& c : cases) {
        MvSceneNode node;
        c.set(node);
        for (int w = 0; w < MvWindowCount; ++w)
            EXPECT_TRUE(c.changed(node, w)) << c.what << ", window " << w;
    }
}

TEST(MvSceneNode, MoveByStartsFromWindowZero)
{
    MvSceneNode node;
    node.MoveTo(10, 20, 0);
    node.MoveTo(100, 200, 1);
    node.MoveBy(3, 0, 1);
    EXPECT_EQ(node.PosX(1), 13);
    EXPECT_EQ(node.PosY(1), 20);
    EXPECT_EQ(node.PosX(0), 10) << "window 0 is not addressed";
    node.MoveBy(-1, 2, -1);
    for (int w = 0; w < MvWindowCount; ++w) {
        EXPECT_EQ(node.PosX(w), 9);
        EXPECT_EQ(node.PosY(w), 22);
    }
}

// Positions are 16.16 fixed point, so the largest whole position that can be stored and
// read back is 32767.
TEST(MvSceneNode, ThePositionRangeIsWhatFixedPointHolds)
{
    MvSceneNode node;
    node.MoveTo(MvMaxNodePosition, -MvMaxNodePosition);
    EXPECT_EQ(node.PosX(3), 32767);
    EXPECT_EQ(node.PosY(3), -32767);
    node.MoveTo(-MvMaxNodePosition, MvMaxNodePosition);
    EXPECT_EQ(node.PosX(0), -32767);
    EXPECT_EQ(node.PosY(0), 32767);
}

// Composite transforms follow the parents: positions add, scales multiply, and a colour
// transform is combined only under a parent whose composite is not the identity.
TEST(MvSceneNode, ComputeTransformCombinesWithTheParentsComposite)
{
    StageOnScreen s(40, 30);
    MvSceneNode* layer = s.Insert(nullptr, new MvSceneNode());
    MvSceneNode* node = s.Insert(layer, new MvSceneNode());
    MvColorXform own;
    own.Set(200, 10, 255, 0, 128, 0, 255);
    node->SetColorXform(own, -1);
    node->MoveTo(3, 4);
    layer->MoveTo(10, 20);
    s.Tree().Recompute();
    EXPECT_EQ(node->ScreenXform(0).x, Fix(13));
    EXPECT_EQ(node->ScreenXform(0).y, Fix(24));
    EXPECT_EQ(node->ScreenColorXform(0), own) << "under an identity parent the own transform is kept";

    MvColorXform half;
    half.SetAlpha(128);
    layer->SetColorXform(half, -1);
    layer->SetScaling(Fix(2), Fix(0.5), -1);
    s.Tree().Recompute();
    EXPECT_EQ(node->ScreenColorXform(0).Alpha(), 128);
    MvColorXform combined = own;
    combined.Combine(half);
    EXPECT_EQ(node->ScreenColorXform(0), combined);
    EXPECT_EQ(node->ScreenXform(0).x, Fix(16));
    EXPECT_EQ(node->ScreenXform(0).y, Fix(22));
    EXPECT_EQ(node->ScreenXform(0).xScale, Fix(2));
    EXPECT_EQ(node->ScreenXform(0).yScale, Fix(0.5));
}

TEST(MvSceneNode, ScreenToLocalUndoesTheScreenTransform)
{
    StageOnScreen s(40, 30);
    MvSceneNode* node = s.Insert(nullptr, new MvSceneNode());
    node->MoveTo(10, 20);
    node->SetScaling(Fix(2), Fix(4), -1);
    s.Tree().Recompute();
    struct Case {
        int x, y;
        double localX, localY;
    } cases[] = {{10, 20, 0, 0}, {30, 40, 10, 5}, {31, 22, 10.5, 0.5}, {0, 0, -5, -5}};
    for (const Case& c : cases) {
        MvFixed local[2];
        node->ScreenToLocal(c.x, c.y, local, 0);
        EXPECT_EQ(local[0], Fix(c.localX)) << c.x << "," << c.y;
        EXPECT_EQ(local[1], Fix(c.localY)) << c.x << "," << c.y;
    }
}

TEST(MvSceneNode, IsShownInTreeNeedsEveryAncestorShownInThatWindow)
{
    const MvIntRect windows[] = {R(0, 0, 9, 9), R(10, 0, 19, 9)};
    StageOnScreen s(20, 10, 2, windows);
    MvSceneNode* layer = s.Insert(nullptr, new MvSceneNode());
    MvSceneNode* node = s.Insert(layer, new MvSceneNode());
    layer->SetShown(false, 1);
    EXPECT_TRUE(node->IsShownInTree(0));
    EXPECT_FALSE(node->IsShownInTree(1)) << "shown itself, below a hidden parent";
    EXPECT_TRUE(node->IsShown(1));
    s.Tree().OriginNode()->SetShown(false, 0);
    EXPECT_FALSE(node->IsShownInTree(0)) << "the origin node counts too";
}

// Insertion keeps ascending depth, a newer child after older ones of equal depth.
TEST(MvSceneNode, InsertionKeepsChildrenInAscendingDepth)
{
    struct Case {
        std::vector<int> depths;
        std::vector<std::string> order;
    } cases[] = {
        {{10, 0, 10, 5}, {"2", "4", "1", "3"}},
        {{5, 5, 7, 10, 5}, {"1", "2", "5", "3", "4"}},
        {{3, 2, 1}, {"3", "2", "1"}},
        {{-1, -1, -1}, {"1", "2", "3"}},
    };
    for (const Case& c : cases) {
        StageOnScreen s(10, 10);
        MvSceneNode* layer = s.Insert(nullptr, new MvSceneNode());
        for (size_t i = 0; i < c.depths.size(); ++i)
            Child(s, layer, std::to_string(i + 1).c_str(), c.depths[i]);
        EXPECT_EQ(ChildNames(layer), c.order);
    }
}

// Children "a" 5, "b" 5, "c" 7, "d" 10; one of them changes depth.
TEST(MvSceneNode, SetDepthResortsAmongSiblings)
{
    struct Case {
        const char* what;
        const char* child;
        int depth;
        std::vector<std::string> order;
    } cases[] = {
        {"raising the first 5 to 10 lands before the existing 10", "a", 10, {"b", "c", "a", "d"}},
        {"raising the first 5 to 6 steps past the second 5 only", "a", 6, {"b", "a", "c", "d"}},
        {"raising past every sibling goes to the end", "a", 99, {"b", "c", "d", "a"}},
        {"lowering the 10 to 5 lands after both 5s", "d", 5, {"a", "b", "d", "c"}},
        {"lowering the 10 to 4 goes first", "d", 4, {"d", "a", "b", "c"}},
        {"lowering the 7 to 6 stays", "c", 6, {"a", "b", "c", "d"}},
        {"raising the second 5 to 7 stays, before the 7", "b", 7, {"a", "b", "c", "d"}},
        {"lowering the 7 to 5 stays, after the 5s", "c", 5, {"a", "b", "c", "d"}},
        {"lowering the second 5 to 0 goes first", "b", 0, {"b", "a", "c", "d"}},
    };
    for (const Case& c : cases) {
        StageOnScreen s(10, 10);
        MvSceneNode* layer = s.Insert(nullptr, new MvSceneNode());
        const char* names[] = {"a", "b", "c", "d"};
        const int depths[] = {5, 5, 7, 10};
        for (int i = 0; i < 4; ++i)
            Child(s, layer, names[i], depths[i]);
        s.Tree().Recompute();
        MvSceneNode* child = s.Tree().FindByName(c.child);
        child->SetDepth(c.depth);
        EXPECT_EQ(ChildNames(layer), c.order) << c.what;
        EXPECT_EQ(child->Depth(), c.depth);
        for (int w = 0; w < MvWindowCount; ++w)
            EXPECT_TRUE(child->IsInvalid(w)) << c.what << ": a depth change repaints the node";
        EXPECT_EQ(child->Parent(), layer);
    }
}

TEST(MvSceneNode, SetDepthOnADetachedNodeWaitsForInsertion)
{
    StageOnScreen s(10, 10);
    MvSceneNode* layer = s.Insert(nullptr, new MvSceneNode());
    Child(s, layer, "low", 1);
    Child(s, layer, "high", 9);
    MvSceneNode* node = new MvSceneNode();
    node->SetName("new");
    node->SetDepth(5);
    EXPECT_EQ(node->Depth(), 5);
    s.Insert(layer, node);
    EXPECT_EQ(ChildNames(layer), (std::vector<std::string>{"low", "new", "high"}));
}

TEST(MvChildCursor, WalksBothWaysAndStopsAtEitherEnd)
{
    StageOnScreen s(10, 10);
    MvSceneNode* layer = s.Insert(nullptr, new MvSceneNode());
    MvChildCursor empty = layer->Children();
    EXPECT_TRUE(empty.Done());
    EXPECT_EQ(empty.First(), nullptr);
    EXPECT_EQ(empty.Last(), nullptr);

    MvSceneNode* a = Child(s, layer, "a", 1);
    MvSceneNode* b = Child(s, layer, "b", 2);
    MvSceneNode* c = Child(s, layer, "c", 3);
    MvChildCursor cursor = layer->Children();
    EXPECT_EQ(cursor.Node(), a);
    EXPECT_EQ(cursor.Next(), b);
    EXPECT_EQ(cursor.Next(), c);
    EXPECT_EQ(cursor.Next(), nullptr);
    EXPECT_TRUE(cursor.Done());
    EXPECT_EQ(cursor.Last(), c);
    EXPECT_EQ(cursor.Prev(), b);
    EXPECT_EQ(cursor.Prev(), a);
    EXPECT_FALSE(cursor.Done());
    EXPECT_EQ(cursor.Prev(), nullptr);
    EXPECT_TRUE(cursor.Done());
    EXPECT_EQ(cursor.First(), a);
    EXPECT_EQ(ChildDepths(layer), (std::vector<int>{1, 2, 3}));
}

// A node kind that stores a fractional position, which no setter can.
class FractionalNode : public MvSceneNode {
public:
    FractionalNode() { xform_[1].y = MvFixed::FromDouble(2.5); }
};

TEST(MvSceneNodeDeathTest, BrokenArgumentsAreCaught)
{
    MvSceneNode node;
    volatile int bad = 6; // kept from the optimiser's constant checks
    volatile int minusOne = -1;
    EXPECT_DEATH(node.MoveTo(40000, 0), "x <= MvMaxNodePosition");
    EXPECT_DEATH(node.MoveTo(39999, 0), "x <= MvMaxNodePosition") << "would not fit in 16.16";
    EXPECT_DEATH(node.MoveTo(32768, 0), "x <= MvMaxNodePosition");
    EXPECT_DEATH(node.MoveTo(-32768, 0), "x >= -MvMaxNodePosition");
    EXPECT_DEATH(node.MoveTo(0, 32768), "y <= MvMaxNodePosition");
    EXPECT_DEATH(node.MoveTo(0, -39999), "y >= -MvMaxNodePosition");
    EXPECT_DEATH(node.SetScaling(Fix(0), Fix(1), 0), "xScale > 0");
    EXPECT_DEATH(node.SetScaling(Fix(1), Fix(-1), 0), "yScale > 0");

    struct Case {
        const char* what;
        std::function<void()> call;
        const char* message;
    } cases[] = {
        {"MoveTo window 6", [&] { node.MoveTo(1, 1, bad); }, "window < MvWindowCount"},
        {"MoveTo window -2", [&] { node.MoveTo(1, 1, -2); }, "window >= -1"},
        {"SetScaling window 6", [&] { node.SetScaling(Fix(1), Fix(1), bad); }, "window < MvWindowCount"},
        {"SetColorXform window -2", [&] { node.SetColorXform(MvColorXform(), -2); }, "window >= -1"},
        {"SetShown window 6", [&] { node.SetShown(false, bad); }, "window < MvWindowCount"},
        {"Invalidate window -2", [&] { node.Invalidate(-2); }, "window >= -1"},
        {"MoveBy window 6", [&] { node.MoveBy(1, 1, bad); }, "window < MvWindowCount"},
        {"PosX window -1", [&] { node.PosX(minusOne); }, "window >= 0"},
        {"PosY window 6", [&] { node.PosY(bad); }, "window < MvWindowCount"},
        {"Bounds window 6", [&] { node.Bounds(bad); }, "window < MvWindowCount"},
        {"SubtreeBounds window -1", [&] { node.SubtreeBounds(minusOne); }, "window >= 0"},
        {"ScreenXform window 6", [&] { node.ScreenXform(bad); }, "window < MvWindowCount"},
        {"ScreenColorXform window -1", [&] { node.ScreenColorXform(minusOne); }, "window >= 0"},
        {"IsShownInTree window -1", [&] { node.IsShownInTree(minusOne); }, "window >= 0"},
        {"ComputeTransform window 6", [&] { MvTestAccess::ComputeTransform(&node, bad); }, "window < MvWindowCount"},
        {"ScreenToLocal window 6", [&] {
             MvFixed out[2];
             node.ScreenToLocal(0, 0, out, bad);
         },
         "window < MvWindowCount"},
        {"SetName(null)", [&] { node.SetName(nullptr); }, "name != nullptr"},
        {"OnAddedToTree of a detached node", [&] { MvTestAccess::OnAddedToTree(&node); }, "engine_ != nullptr"},
        {"a cursor that has run off reads no node", [&] { node.Children().Node(); }, "Done"},
    };
    for (const Case& c : cases)
        EXPECT_DEATH(c.call(), c.message) << c.what;

    FractionalNode fractional;
    EXPECT_EQ(fractional.PosY(0), 0);
    EXPECT_DEATH(fractional.PosY(1), "0xFFFF");
}

} // namespace
