#include "SceneTestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

using namespace scenetest;

namespace {

const MvColor kRed = Opaque(255, 0, 0);

// A named solid rectangle of w x h at (x, y) inserted under parent with depth.
SolidRectNode* Rect(StageOnScreen& s, MvSceneNode* parent, const char* name, int x, int y, int w, int h,
                    int depth = 0, EventLog* events = nullptr)
{
    SolidRectNode* node = new SolidRectNode(w, h, kRed, events);
    node->SetName(name);
    node->MoveTo(x, y);
    node->SetDepth(depth);
    return s.Insert(parent, node);
}

// A named plain node inserted under parent with depth.
MvSceneNode* Group(StageOnScreen& s, MvSceneNode* parent, const char* name, int depth = 0)
{
    MvSceneNode* node = new MvSceneNode();
    node->SetName(name);
    node->SetDepth(depth);
    return s.Insert(parent, node);
}

std::vector<std::string> Names(const MvGrowArray<MvSceneNode*>& hits)
{
    std::vector<std::string> names;
    for (int i = 0; i < hits.Count(); ++i)
        names.push_back(hits[i]->Name());
    return names;
}

std::string Hex(const void* p)
{
    char text[32];
    std::snprintf(text, sizeof text, "%x", static_cast<unsigned>(reinterpret_cast<uintptr_t>(p)));
    return text;
}

TEST(MvSceneTree, ConstructionPlacesTheOriginNodeAtEachWindowAndLogsBothTopNodes)
{
    TestScreen screen(64, 48);
    const MvIntRect windows[] = {R(0, 0, 31, 23), R(40, 4, 63, 23), R(0, 30, 63, 47)};
    MvLogCapture log(MvLogCapture::QuietStdout);
    MvStage stage(screen.Surface(), 3, windows, nullptr);
    MvSceneTree* tree = stage.SceneTree();
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(tree->Stage(), &stage);

    MvSceneNode* origin = tree->OriginNode();
    MvSceneNode* root = tree->SceneRoot();
    const std::string line = "Root: " + Hex(origin) + "  Offset: " + Hex(root) + "\n";
    EXPECT_NE(log.Text().find(line), std::string::npos) << log.Text();

    EXPECT_EQ(origin->Parent(), nullptr);
    EXPECT_EQ(origin->Stage(), nullptr) << "the origin node is never inserted";
    EXPECT_STREQ(origin->Name(), "");
    EXPECT_EQ(origin->Id(), -1);
    MvChildCursor children = origin->Children();
    EXPECT_EQ(children.Node(), root);
    EXPECT_EQ(children.Next(), nullptr) << "the scene root is the origin node's only child";
    EXPECT_EQ(root->Parent(), origin);
    EXPECT_EQ(root->Stage(), &stage);
    EXPECT_EQ(root->Id(), -1);
    for (int w = 0; w < 3; ++w) {
        EXPECT_EQ(origin->PosX(w), windows[w].left);
        EXPECT_EQ(origin->PosY(w), windows[w].top);
        EXPECT_EQ(origin->ScreenXform(w).x, MvFixed::FromInt(windows[w].left)) << "computed at once";
        EXPECT_EQ(origin->ScreenXform(w).y, MvFixed::FromInt(windows[w].top));
    }
}

TEST(MvSceneTree, InsertNodeAdoptsEntersAndLogsTheNode)
{
    StageOnScreen s(40, 30);
    MvSceneTree& tree = s.Tree();

    MvSceneNode* plain = new MvSceneNode();
    {
        MvLogCapture log(MvLogCapture::QuietStdout);
        tree.InsertNode(nullptr, plain);
        EXPECT_EQ(log.Text(), "") << "no id, no log line";
    }
    EXPECT_EQ(plain->Parent(), tree.SceneRoot());
    EXPECT_EQ(plain->Stage(), s.stage.get());
    EXPECT_EQ(tree.FindByName(""), nullptr) << "an empty name is not entered";
    EXPECT_EQ(tree.FindById(-1), nullptr) << "id -1 is not entered";

    MvSceneNode* enemies = new MvSceneNode();
    enemies->SetName("enemies");
    enemies->SetId(7);
    {
        MvLogCapture log(MvLogCapture::QuietStdout);
        tree.InsertNode(plain, enemies);
        EXPECT_EQ(log.Text(), "Node id=7 added\n");
    }
    EXPECT_EQ(enemies->Parent(), plain);
    EXPECT_EQ(tree.FindByName("enemies"), enemies);
    EXPECT_EQ(tree.FindById(7), enemies);
    EXPECT_EQ(tree.FindByName("Enemies"), nullptr) << "names are compared exactly";
    EXPECT_EQ(tree.FindByName("enemy"), nullptr);
    EXPECT_EQ(tree.FindById(8), nullptr);

    // Long names are found as well as short ones.
    const char* longName = "a layer name well beyond any short-string buffer";
    Group(s, nullptr, longName);
    EXPECT_STREQ(tree.FindByName(longName)->Name(), longName);
}

// Name and id changes of nodes in the tree keep the maps in step; detached nodes touch
// no map.
TEST(MvSceneTree, SetNameAndSetIdKeepTheMapsInStep)
{
    StageOnScreen s(40, 30);
    MvSceneTree& tree = s.Tree();
    MvSceneNode* a = Group(s, nullptr, "a");
    a->SetName("platforms");
    EXPECT_EQ(tree.FindByName("a"), nullptr);
    EXPECT_EQ(tree.FindByName("platforms"), a);
    a->SetName(a->Name()); // its own name again
    EXPECT_EQ(tree.FindByName("platforms"), a);
    a->SetName("");
    EXPECT_EQ(tree.FindByName("platforms"), nullptr);
    a->SetName("platforms");

    a->SetId(3);
    EXPECT_EQ(tree.FindById(3), a);
    a->SetId(4);
    EXPECT_EQ(tree.FindById(3), nullptr);
    EXPECT_EQ(tree.FindById(4), a);
    a->SetId(-1);
    EXPECT_EQ(tree.FindById(4), nullptr);

    MvSceneNode detached;
    detached.SetName("platforms");
    detached.SetId(4);
    EXPECT_EQ(tree.FindByName("platforms"), a);
    EXPECT_EQ(tree.FindById(4), nullptr);
}

// An id that another node already holds is not entered; the holder keeps it, also when
// the second node changes its id again or leaves the tree.
TEST(MvSceneTree, ADuplicateIdStaysWithItsFirstHolder)
{
    StageOnScreen s(40, 30);
    MvSceneTree& tree = s.Tree();
    MvSceneNode* first = Group(s, nullptr, "first");
    MvSceneNode* second = Group(s, nullptr, "second");
    first->SetId(5);
    second->SetId(5);
    EXPECT_EQ(second->Id(), 5);
    EXPECT_EQ(tree.FindById(5), first);

    second->SetId(6);
    EXPECT_EQ(tree.FindById(5), first) << "the second node's old id was never its entry";
    EXPECT_EQ(tree.FindById(6), second);
    second->SetId(5);
    tree.RemoveNode(second);
    EXPECT_EQ(tree.FindById(5), first);
    tree.RemoveNode(first);
    EXPECT_EQ(tree.FindById(5), nullptr);
}

// A removed layer takes everything below it, each node told and destroyed after its
// descendants, and no map keeps any of them.
TEST(MvSceneTree, RemoveNodeRemovesTheSubtreeDeepestFirst)
{
    StageOnScreen s(40, 30);
    MvSceneTree& tree = s.Tree();
    EventLog events;
    TrackedNode* layer = new TrackedNode(&events);
    layer->SetName("enemies");
    s.Insert(nullptr, layer);
    Rect(s, layer, "a", 1, 1, 2, 2, 0, &events);
    SolidRectNode* b = Rect(s, layer, "b", 5, 5, 2, 2, 1, &events);
    Rect(s, b, "b1", 6, 6, 2, 2, 0, &events)->SetId(11);
    Rect(s, b, "b2", 6, 6, 2, 2, 0, &events);
    MvSceneNode* keep = Group(s, nullptr, "keep");

    tree.RemoveNode(layer);
    const EventLog expected = {"remove a",  "delete a",  "remove b1",      "delete b1",     "remove b2",
                               "delete b2", "remove b",  "delete b",       "remove enemies", "delete enemies"};
    EXPECT_EQ(events, expected);
    for (const char* name : {"enemies", "a", "b", "b1", "b2"})
        EXPECT_EQ(tree.FindByName(name), nullptr) << name;
    EXPECT_EQ(tree.FindById(11), nullptr);
    EXPECT_EQ(tree.FindByName("keep"), keep);
    MvChildCursor rest = tree.SceneRoot()->Children();
    EXPECT_EQ(rest.Node(), keep);
    EXPECT_EQ(rest.Next(), nullptr);
}

TEST(MvSceneTree, DestroyingTheStageDestroysEveryNodeChildrenFirstWithoutNotice)
{
    EventLog events;
    {
        StageOnScreen s(40, 30);
        TrackedNode* layer = new TrackedNode(&events);
        layer->SetName("layer");
        s.Insert(nullptr, layer);
        SolidRectNode* a = Rect(s, layer, "a", 1, 1, 2, 2, 0, &events);
        Rect(s, a, "a1", 1, 1, 2, 2, 0, &events);
        Rect(s, layer, "b", 1, 1, 2, 2, 1, &events);
        s.Tree().Recompute();
    }
    const EventLog expected = {"delete a1", "delete a", "delete b", "delete layer"};
    EXPECT_EQ(events, expected);
}

// Walk numbers: the origin node 2, the scene root 3, then depth first, parents before
// children, children in ascending depth; renumbered by every walk.
TEST(MvSceneTree, RecomputeNumbersTheNodesDepthFirst)
{
    StageOnScreen s(40, 30);
    MvSceneTree& tree = s.Tree();
    MvSceneNode* l1 = Group(s, nullptr, "l1", 0);
    MvSceneNode* a = Group(s, l1, "a", 5);
    MvSceneNode* b = Group(s, l1, "b", 1);
    MvSceneNode* l2 = Group(s, nullptr, "l2", -1);
    MvSceneNode* c = Group(s, l2, "c", 0);
    tree.Recompute();
    struct Case {
        MvSceneNode* node;
        int number;
    } cases[] = {{tree.OriginNode(), 2}, {tree.SceneRoot(), 3}, {l2, 4}, {c, 5}, {l1, 6}, {b, 7}, {a, 8}};
    for (const Case& k : cases)
        EXPECT_EQ(k.node->WalkNumber(), k.number) << k.node->Name();

    tree.RemoveNode(l2);
    b->SetDepth(9);
    tree.Recompute();
    EXPECT_EQ(l1->WalkNumber(), 4);
    EXPECT_EQ(a->WalkNumber(), 5);
    EXPECT_EQ(b->WalkNumber(), 6);
}

// The first walk computes every node; a walk without changes computes and queues nothing
// but still rebuilds every subtree's bounds from its children.
TEST(MvSceneTree, RecomputeComputesOnlyWhatChangedAndRebuildsSubtreeBounds)
{
    StageOnScreen s(40, 30);
    MvSceneTree& tree = s.Tree();
    MvSceneNode* layer = Group(s, nullptr, "layer");
    layer->MoveTo(10, 0);
    SolidRectNode* a = Rect(s, layer, "a", 0, 5, 4, 4);
    SolidRectNode* b = Rect(s, layer, "b", 20, 10, 5, 5);
    MvDirtyList& dirty = s.stage->DirtyList(0);

    tree.Recompute();
    EXPECT_EQ(a->Bounds(0), R(10, 5, 13, 8));
    EXPECT_EQ(b->Bounds(0), R(30, 10, 34, 14));
    EXPECT_FALSE(layer->Bounds(0).IsValid()) << "a plain node covers nothing itself";
    EXPECT_EQ(layer->SubtreeBounds(0), R(10, 5, 34, 14)) << "the union of its descendants";
    EXPECT_EQ(tree.OriginNode()->SubtreeBounds(0), R(10, 5, 34, 14));
    EXPECT_GT(dirty.Count(), 0);
    for (MvSceneNode* n : {tree.OriginNode(), tree.SceneRoot(), layer, static_cast<MvSceneNode*>(a)})
        EXPECT_FALSE(n->IsInvalid(0));

    dirty.Clear();
    tree.Recompute();
    EXPECT_EQ(dirty.Count(), 0) << "nothing changed, nothing queued";

    tree.RemoveNode(b);
    dirty.Clear();
    tree.Recompute();
    EXPECT_EQ(dirty.Count(), 0);
    EXPECT_EQ(layer->SubtreeBounds(0), R(10, 5, 13, 8)) << "rebuilt although the layer did not change";
    EXPECT_EQ(tree.OriginNode()->SubtreeBounds(0), R(10, 5, 13, 8));
}

// Moving a layer recomputes every node below it in the next walk.
TEST(MvSceneTree, AChangedLayerRecomputesEveryNodeBelowIt)
{
    StageOnScreen s(40, 30);
    MvSceneTree& tree = s.Tree();
    MvSceneNode* layer = Group(s, nullptr, "layer");
    MvSceneNode* inner = Group(s, layer, "inner");
    SolidRectNode* a = Rect(s, inner, "a", 1, 2, 3, 3);
    tree.Recompute();
    layer->MoveTo(10, 10);
    EXPECT_FALSE(a->IsInvalid(0));
    tree.Recompute();
    EXPECT_EQ(a->Bounds(0), R(11, 12, 13, 14));
    EXPECT_EQ(inner->ScreenXform(0).x, MvFixed::FromInt(10));
}

// A hidden origin node stops all computing: changes wait until it is shown again.
TEST(MvSceneTree, AHiddenOriginNodeStopsComputing)
{
    StageOnScreen s(40, 30);
    MvSceneTree& tree = s.Tree();
    SolidRectNode* a = Rect(s, nullptr, "a", 1, 2, 3, 3);
    tree.Recompute();
    tree.OriginNode()->SetShown(false, 0);
    a->MoveTo(20, 20);
    tree.Recompute();
    EXPECT_EQ(a->Bounds(0), R(1, 2, 3, 4));
    tree.OriginNode()->SetShown(true, 0);
    tree.Recompute();
    EXPECT_EQ(a->Bounds(0), R(20, 20, 22, 22));
}

// Picking: the topmost node under the point, or with MvPickAll every node under it,
// topmost first; hidden nodes and nodes below hidden parents are not hit.
TEST(MvSceneTree, PickAtFindsTheNodesUnderAPoint)
{
    const MvIntRect windows[] = {R(0, 0, 39, 29), R(40, 0, 79, 29)};
    StageOnScreen s(80, 40, 2, windows);
    MvSceneTree& tree = s.Tree();
    MvSceneNode* layer = Group(s, nullptr, "layer");
    Rect(s, layer, "low", 0, 0, 10, 10, 1);
    Rect(s, layer, "high", 5, 5, 10, 10, 2);
    Rect(s, layer, "high too", 8, 8, 10, 10, 2); // equal depth, later child: above "high"
    SolidRectNode* parent = Rect(s, layer, "parent", 20, 0, 10, 10, 0);
    Rect(s, parent, "child", 2, 2, 2, 2, 0); // at (22, 2), drawn after its parent: above it
    MvSceneNode* hiddenLayer = Group(s, nullptr, "hidden layer", 5);
    Rect(s, hiddenLayer, "under hidden", 0, 0, 30, 30);
    hiddenLayer->SetShown(false, -1);
    SolidRectNode* hidden = Rect(s, layer, "hidden", 0, 20, 5, 5, 9);
    hidden->SetShown(false, -1);
    Rect(s, layer, "window 1 only", 0, 0, 1, 1);
    s.Tree().FindByName("window 1 only")->MoveTo(3, 25, 1);
    s.Tree().FindByName("window 1 only")->MoveTo(-30000, -30000, 0);
    tree.Recompute();

    struct Case {
        int x, y, flags;
        int window;
        std::vector<std::string> hits;
    } cases[] = {
        {2, 2, 0, 0, {"low"}},
        {6, 6, 0, 0, {"high"}},
        {6, 6, MvPickAll, 0, {"high", "low"}},
        {9, 9, 0, 0, {"high too"}},
        {9, 9, MvPickAll, 0, {"high too", "high", "low"}},
        {9, 9, MvPickAll | 1, 0, {"high too", "high", "low"}},
        {22, 2, 0, 0, {"child"}},
        {22, 2, MvPickAll, 0, {"child", "parent"}},
        {25, 5, 0, 0, {"parent"}},
        {2, 22, MvPickAll, 0, {}},
        {35, 25, MvPickAll, 0, {}},
        {43, 25, 0, 1, {"window 1 only"}},
        {42, 2, 0, 1, {"low"}},
        {80, 10, MvPickAll, -1, {}},
        {-1, 0, MvPickAll, -1, {}},
        {10, 35, 0, -1, {}},
    };
    MvGrowArray<MvSceneNode*> hits;
    for (const Case& c : cases) {
        hits.Append(tree.SceneRoot()); // emptied first
        int window = 99;
        tree.PickAt(c.x, c.y, c.flags, &hits, &window);
        EXPECT_EQ(window, c.window) << c.x << "," << c.y;
        EXPECT_EQ(Names(hits), c.hits) << c.x << "," << c.y << " flags " << c.flags;
    }
}

// A node kind that claims bounds without being drawable, which the walk refuses.
class BoundedPlainNode : public MvSceneNode {
public:
    void ComputeTransform(int window) override
    {
        MvSceneNode::ComputeTransform(window);
        bounds_[window] = MvMakeRect(0, 0, 1, 1);
    }
};

TEST(MvSceneTreeDeathTest, BrokenTreeOperationsAreCaught)
{
    StageOnScreen s(40, 30);
    MvSceneTree& tree = s.Tree();
    SolidRectNode* taken = Rect(s, nullptr, "taken", 0, 0, 2, 2);
    taken->SetId(3);
    MvSceneNode* other = Group(s, nullptr, "other");
    StageOnScreen elsewhere(40, 30);
    MvSceneNode* foreign = Group(elsewhere, nullptr, "foreign");
    MvGrowArray<MvSceneNode*> hits;
    int window = 0;

    auto InsertNamed = [&](const char* name, int id) {
        MvSceneNode* node = new MvSceneNode();
        node->SetName(name);
        node->SetId(id);
        tree.InsertNode(nullptr, node);
    };
    EXPECT_DEATH(InsertNamed("taken", -1), "nameIsNew");
    EXPECT_DEATH(InsertNamed("", 3), "idIsNew");
    EXPECT_DEATH(other->SetName("taken"), "nameIsNew");
    EXPECT_DEATH(tree.InsertNode(nullptr, other), "engine_ == nullptr");
    EXPECT_DEATH(tree.InsertNode(foreign, new MvSceneNode()), "parent->engine_ == engine_");
    EXPECT_DEATH(tree.InsertNode(nullptr, nullptr), "node != nullptr");
    EXPECT_DEATH(tree.InsertNode(nullptr, tree.OriginNode()), "node != originNode_");
    EXPECT_DEATH(tree.RemoveNode(tree.SceneRoot()), "node != sceneRoot_");
    EXPECT_DEATH(tree.RemoveNode(tree.OriginNode()), "node->engine_ == engine_");
    EXPECT_DEATH(tree.RemoveNode(foreign), "node->engine_ == engine_");
    EXPECT_DEATH(tree.FindByName(nullptr), "name != nullptr");
    EXPECT_DEATH(tree.PickAt(0, 0, 0, nullptr, &window), "hits != nullptr");
    EXPECT_DEATH(tree.PickAt(0, 0, 0, &hits, nullptr), "window != nullptr");
    EXPECT_DEATH(delete taken, "IsLinked") << "the tree owns its nodes";
    EXPECT_DEATH(
        {
            s.Insert(nullptr, new BoundedPlainNode());
            tree.Recompute();
        },
        "AsDrawable");
}

TEST(MvSceneTreeDeathTest, TheWalkCounterStopsBelow50000)
{
    StageOnScreen s(40, 30);
    MvLogCapture quiet(MvLogCapture::QuietStdout);
    // The origin node and the scene root take walk numbers 2 and 3. Falling depths put
    // every new node first, so the insertions stay cheap.
    for (int i = 0; i < MvWalkNumberLimit - 4; ++i) {
        MvSceneNode* node = new MvSceneNode();
        node->SetDepth(-i);
        s.Tree().InsertNode(nullptr, node);
    }
    s.Tree().Recompute();
    EXPECT_EQ(s.Tree().SceneRoot()->Children().Last()->WalkNumber(), MvWalkNumberLimit - 1);
    MvSceneNode* oneMore = new MvSceneNode();
    oneMore->SetDepth(-MvWalkNumberLimit);
    s.Tree().InsertNode(nullptr, oneMore);
    EXPECT_DEATH(s.Tree().Recompute(), "walkCounter_ < MvWalkNumberLimit");
}

} // namespace
