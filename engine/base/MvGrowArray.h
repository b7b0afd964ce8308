#ifndef MV_GROW_ARRAY_H
#define MV_GROW_ARRAY_H

#include "MvAssert.h"

#include <cstdlib>
#include <new>
#include <utility>

/// A growable array: a count, a capacity and the items. Appending to a full array grows
/// the capacity to the smallest power of two that holds one more item and moves the items
/// over, so a long run of appends costs amortised constant time. Clear frees the storage;
/// a list that is filled and cleared every frame therefore reallocates each time, which
/// keeps idle memory at zero at the price of a few allocations per frame.
template <typename T>
class MvGrowArray {
public:
    MvGrowArray() = default;
    ~MvGrowArray() { Clear(); }

    /// A copy of every item of other, in a storage of its own.
    MvGrowArray(const MvGrowArray& other) { CopyFrom(other); }
    /// Clears this array, then copies every item of other (nothing when other is this).
    MvGrowArray& operator=(const MvGrowArray& other);
    /// Takes over other's storage; other is left empty, with no storage.
    MvGrowArray(MvGrowArray&& other) noexcept { Steal(other); }
    /// Clears this array, then takes over other's storage (nothing when other is this).
    MvGrowArray& operator=(MvGrowArray&& other) noexcept;

    /// Adds item at the end, growing the storage when the array is full.
    void Append(const T& item);

    /// Removes item index; the last item moves into its place (order is not kept).
    /// Asserts index < Count().
    void RemoveSwap(int index);

    /// Destroys every item, frees the storage; count and capacity become 0.
    void Clear();

    /// Destroys every item but keeps the storage for reuse.
    void Empty();

    /// Grows the storage, when it is smaller, to hold capacity items, so that appends up
    /// to that count do not allocate. Asserts capacity >= 0.
    void Reserve(int capacity);

    /// Item index. Asserts 0 <= index < Count().
    ///@{
    T& operator[](int index);
    const T& operator[](int index) const;
    ///@}

    /// Number of items.
    int Count() const;
    /// Number of items the storage holds before it must grow.
    int Capacity() const;
    /// The items, Count() of them in a row (null while there is no storage).
    ///@{
    T* Items();
    const T* Items() const;
    ///@}

private:
    void Grow(int needed);
    void CopyFrom(const MvGrowArray& other);
    void Steal(MvGrowArray& other);

    int count_ = 0;
    int capacity_ = 0;
    T* items_ = nullptr;
};

template <typename T>
inline int MvGrowArray<T>::Count() const { return count_; }
template <typename T>
inline int MvGrowArray<T>::Capacity() const { return capacity_; }
template <typename T>
inline T* MvGrowArray<T>::Items() { return items_; }
template <typename T>
inline const T* MvGrowArray<T>::Items() const { return items_; }

template <typename T>
inline T& MvGrowArray<T>::operator[](int index)
{
    MvAssert(index >= 0 && index < count_);
    return items_[index];
}

template <typename T>
inline const T& MvGrowArray<T>::operator[](int index) const
{
    MvAssert(index >= 0 && index < count_);
    return items_[index];
}

template <typename T>
void MvGrowArray<T>::Append(const T& item)
{
    if (count_ == capacity_) {
        // item may live inside this array; copy it before the storage moves.
        T copy(item);
        Grow(count_ + 1);
        new (items_ + count_) T(std::move(copy));
    } else {
        new (items_ + count_) T(item);
    }
    ++count_;
}

template <typename T>
void MvGrowArray<T>::RemoveSwap(int index)
{
    MvAssert(index >= 0 && index < count_);
    --count_;
    if (index != count_)
        items_[index] = std::move(items_[count_]);
    items_[count_].~T();
}

template <typename T>
void MvGrowArray<T>::Empty()
{
    for (int i = 0; i < count_; ++i)
        items_[i].~T();
    count_ = 0;
}

template <typename T>
void MvGrowArray<T>::Reserve(int capacity)
{
    MvAssert(capacity >= 0);
    if (capacity > capacity_)
        Grow(capacity);
}

template <typename T>
void MvGrowArray<T>::Clear()
{
    Empty();
    std::free(items_);
    items_ = nullptr;
    capacity_ = 0;
}

template <typename T>
void MvGrowArray<T>::Grow(int needed)
{
    int capacity = 1;
    while (capacity < needed)
        capacity *= 2;
    T* items = static_cast<T*>(std::malloc(sizeof(T) * static_cast<size_t>(capacity)));
    MvAssert(items != nullptr);
    for (int i = 0; i < count_; ++i) {
        new (items + i) T(std::move(items_[i]));
        items_[i].~T();
    }
    std::free(items_);
    items_ = items;
    capacity_ = capacity;
}

template <typename T>
void MvGrowArray<T>::CopyFrom(const MvGrowArray& other)
{
    if (other.count_ > 0)
        Grow(other.count_);
    for (int i = 0; i < other.count_; ++i)
        new (items_ + i) T(other.items_[i]);
    count_ = other.count_;
}

template <typename T>
void MvGrowArray<T>::Steal(MvGrowArray& other)
{
    count_ = other.count_;
    capacity_ = other.capacity_;
    items_ = other.items_;
    other.count_ = 0;
    other.capacity_ = 0;
    other.items_ = nullptr;
}

template <typename T>
MvGrowArray<T>& MvGrowArray<T>::operator=(const MvGrowArray& other)
{
    if (this != &other) {
        Clear();
        CopyFrom(other);
    }
    return *this;
}

template <typename T>
MvGrowArray<T>& MvGrowArray<T>::operator=(MvGrowArray&& other) noexcept
{
    if (this != &other) {
        Clear();
        Steal(other);
    }
    return *this;
}

#endif
