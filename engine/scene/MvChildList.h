#ifndef MV_CHILD_LIST_H
#define MV_CHILD_LIST_H

#include "MvAssert.h"
#include "MvChildLink.h"

/// A node's ordered children: an intrusive, circular, doubly linked list of the children's
/// own links around one end marker held by the list. The end marker stands beyond both
/// ends, so inserting before it appends and inserting after it puts a link first, and no
/// operation needs a special case for an empty list. The list keeps whatever order it is
/// given; the node that owns it decides where children go, and only it and the tree change
/// the list.
class MvChildList {
public:
    /// An empty list.
    MvChildList();

    /// Asserts the list is empty: its links belong to nodes that must have left it.
    ~MvChildList();

    MvChildList(const MvChildList&) = delete;
    MvChildList& operator=(const MvChildList&) = delete;

    /// True when no link is in the list.
    bool IsEmpty() const;

    /// The first and last links, or End() when the list is empty.
    ///@{
    MvChildLink* First();
    MvChildLink* Last();
    ///@}

    /// The end marker: what stepping past either end reaches.
    MvChildLink* End();

private:
    friend class MvSceneNode;
    friend class MvSceneTree;

    /// Puts link just before position (End() appends). Asserts link is unlinked and
    /// position is linked.
    void InsertBefore(MvChildLink* link, MvChildLink* position);

    /// Puts link just after position (End() puts it first). Asserts as InsertBefore.
    void InsertAfter(MvChildLink* link, MvChildLink* position);

    /// Takes link out of the list; it becomes unlinked. Asserts link is a linked child
    /// link, not the end marker.
    void Remove(MvChildLink* link);

    MvChildLink end_;
};

inline MvChildList::MvChildList() : end_(nullptr)
{
    end_.prev_ = &end_;
    end_.next_ = &end_;
}

inline MvChildList::~MvChildList() { MvAssert(IsEmpty()); }

inline bool MvChildList::IsEmpty() const { return end_.next_ == &end_; }
inline MvChildLink* MvChildList::First() { return end_.next_; }
inline MvChildLink* MvChildList::Last() { return end_.prev_; }
inline MvChildLink* MvChildList::End() { return &end_; }

inline void MvChildList::InsertBefore(MvChildLink* link, MvChildLink* position)
{
    MvAssert(!link->IsLinked() && position->IsLinked());
    link->prev_ = position->prev_;
    link->next_ = position;
    position->prev_->next_ = link;
    position->prev_ = link;
}

inline void MvChildList::InsertAfter(MvChildLink* link, MvChildLink* position)
{
    MvAssert(position->IsLinked());
    InsertBefore(link, position->next_);
}

inline void MvChildList::Remove(MvChildLink* link)
{
    MvAssert(link != &end_ && link->IsLinked());
    link->prev_->next_ = link->next_;
    link->next_->prev_ = link->prev_;
    link->prev_ = nullptr;
    link->next_ = nullptr;
}

#endif
