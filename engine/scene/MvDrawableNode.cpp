#include "MvDrawableNode.h"

#include "MvStage.h"

MvDrawableNode::MvDrawableNode()
{
    for (bool& onScreen : wasOnScreen_)
        onScreen = true;
}

MvDrawableNode* MvDrawableNode::AsDrawable() { return this; }

void MvDrawableNode::QueueDirty(int window, bool /*before*/)
{
    MvAssert(engine_ != nullptr);
    const bool shownNow = IsShownInTree(window);
    if (shownNow)
        MvAssert(bounds_[window].IsValid());
    if ((wasOnScreen_[window] || shownNow) && bounds_[window].IsValid())
        engine_->DirtyList(window).AddRect(bounds_[window]);
    wasOnScreen_[window] = shownNow;
}

void MvDrawableNode::OnAddedToTree()
{
    MvSceneNode::OnAddedToTree();
    MvAssert(bounds_[0].IsValid());
}

void MvDrawableNode::OnRemovingFromTree()
{
    MvAssert(engine_ != nullptr);
    for (int w = 0; w < engine_->WindowCount(); ++w)
        if (wasOnScreen_[w] && bounds_[w].IsValid())
            engine_->DirtyList(w).AddRect(bounds_[w]);
}
