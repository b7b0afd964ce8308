#ifndef MV_CHILD_CURSOR_H
#define MV_CHILD_CURSOR_H

#include "MvAssert.h"
#include "MvChildList.h"

class MvSceneNode;

/// A position in one node's child list, moved in either direction. Children are kept in
/// ascending depth, so walking forward visits them in drawing order and backward from the
/// topmost down. Running off either end leaves the cursor on the list's end marker, where
/// Done() is true; First() or Last() brings it back. A cursor stays usable while other
/// children come and go, but not once the child it stands on leaves the list. A program
/// gets one from MvSceneNode::Children.
class MvChildCursor {
public:
    /// Moves to the child with the lowest depth and returns it (null when there is none).
    MvSceneNode* First();
    /// Moves to the child with the highest depth and returns it (null when there is none).
    MvSceneNode* Last();
    /// Moves one child towards the end and returns it (null on running off the end).
    /// Asserts the cursor is not Done().
    MvSceneNode* Next();
    /// Moves one child towards the front and returns it (null on running off the front).
    /// Asserts the cursor is not Done().
    MvSceneNode* Prev();

    /// True when the cursor has run off either end.
    bool Done() const;

    /// The child at the cursor. Asserts the cursor is not Done().
    MvSceneNode* Node() const;

private:
    // Nodes make cursors on their child lists, and they and the tree insert at them.
    friend class MvSceneNode;
    friend class MvSceneTree;

    /// A cursor on list's first child (Done() at once when the list is empty).
    explicit MvChildCursor(MvChildList* list);

    /// A cursor on link, which must be in list or be its end marker.
    MvChildCursor(MvChildList* list, MvChildLink* link);

    /// The link at the cursor (the list's end marker when Done()), for inserting beside it.
    MvChildLink* Link() const;

    MvChildList* list_;
    MvChildLink* at_;
};

inline MvChildCursor::MvChildCursor(MvChildList* list) : list_(list), at_(list->First()) {}

inline MvChildCursor::MvChildCursor(MvChildList* list, MvChildLink* link) : list_(list), at_(link)
{
    MvAssert(link->IsLinked());
}

inline MvSceneNode* MvChildCursor::First()
{
    at_ = list_->First();
    return at_->Node();
}

inline MvSceneNode* MvChildCursor::Last()
{
    at_ = list_->Last();
    return at_->Node();
}

inline MvSceneNode* MvChildCursor::Next()
{
    MvAssert(!Done());
    at_ = at_->Next();
    return at_->Node();
}

inline MvSceneNode* MvChildCursor::Prev()
{
    MvAssert(!Done());
    at_ = at_->Prev();
    return at_->Node();
}

inline bool MvChildCursor::Done() const { return at_ == list_->End(); }

inline MvSceneNode* MvChildCursor::Node() const
{
    MvAssert(!Done());
    return at_->Node();
}

inline MvChildLink* MvChildCursor::Link() const { return at_; }

#endif
