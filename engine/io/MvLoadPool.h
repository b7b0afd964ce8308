#ifndef MV_LOAD_POOL_H
#define MV_LOAD_POOL_H

#include <cstddef>
#include <cstdint>

/// @file
/// The bump allocator MvLoadPool, the process-wide current load pools that the image readers
/// take their storage from, and the counters of pixels read.

/// A bump allocator whose pieces never move. Loading a resource file takes all pixels,
/// RLE rows and RLE segments of the file from three such pools, one per tally of the file,
/// instead of making one allocation per piece; the pieces are never freed one by one, all
/// go when the pool is destroyed. The tally is only a promise of untrusted data, so the
/// pool takes its memory as pieces are asked for: nothing before the first Alloc, then
/// blocks that grow (a first of FirstBlockSize bytes, then each as large as all before it),
/// never past what is left of the size; a few blocks hold an ordinary file. While a file
/// is being read its three pools are the process-wide current load pools, from which the
/// image readers take their storage.
class MvLoadPool {
public:
    /// Bytes of the first block, or fewer when the size is smaller.
    static constexpr size_t FirstBlockSize = 256 * 1024;

    /// A pool that hands out at most size bytes in all; it takes no memory yet.
    explicit MvLoadPool(size_t size);

    /// Frees the blocks; the pieces handed out become invalid.
    ~MvLoadPool();

    MvLoadPool(const MvLoadPool&) = delete;
    MvLoadPool& operator=(const MvLoadPool&) = delete;

    /// The next size bytes, at an address aligned for any type when it begins a block,
    /// filled with 0xAA so that storage used before it is written stands out. A piece
    /// that does not fit the current block begins a new one. Null when that block cannot
    /// be allocated (HasBlock is then false). Asserts the pool is not used up and that
    /// size is at most Remaining(); readers of untrusted data test Remaining first.
    void* Alloc(size_t size);

    /// True when all size bytes have been handed out.
    bool IsUsedUp() const;

    /// Bytes not yet handed out.
    size_t Remaining() const;

    /// Bytes handed out so far.
    size_t Used() const;

    /// The size asked for at construction.
    size_t Size() const;

    /// False once a block could not be allocated.
    bool HasBlock() const;

    /// Bytes of the blocks taken so far, what the pool holds: Used() and the unused ends
    /// of its blocks.
    size_t Held() const;

    /// Number of blocks taken so far.
    int BlockCount() const;

private:
    struct Block;

    Block* blocks_;
    uint8_t* cursor_;
    uint8_t* blockEnd_;
    size_t used_;
    size_t held_;
    size_t size_;
    int blockCount_;
    bool allocationFailed_;
};

/// Makes the three pools the current load pools (null clears one); loaders set them before
/// reading a file and clear them after.
void SetCurrentLoadPools(MvLoadPool* pixelPool, MvLoadPool* linePool, MvLoadPool* segmentPool);

/// The current pool for RGBA pixels (4 bytes each), or null outside a load.
MvLoadPool* CurrentPixelPool();
/// The current pool for RLE rows (MvRleLine), or null outside a load.
MvLoadPool* CurrentLinePool();
/// The current pool for RLE segments (MvRleSegment), or null outside a load.
MvLoadPool* CurrentSegmentPool();

/// @name Pixel counters
/// Process-wide pixel counters, never reset: the RLE counter grows by the length of every
/// RLE segment read, the block counter by width times height of every pixel block read.
///@{

/// The RLE counter.
int64_t MvRlePixelCounter();
/// The block counter.
int64_t MvBlockPixelCounter();
/// Adds count to the RLE counter.
void MvAddRlePixels(int64_t count);
/// Adds count to the block counter.
void MvAddBlockPixels(int64_t count);
///@}

inline bool MvLoadPool::IsUsedUp() const { return used_ == size_; }
inline size_t MvLoadPool::Remaining() const { return size_ - used_; }
inline size_t MvLoadPool::Used() const { return used_; }
inline size_t MvLoadPool::Size() const { return size_; }
inline bool MvLoadPool::HasBlock() const { return !allocationFailed_; }
inline size_t MvLoadPool::Held() const { return held_; }
inline int MvLoadPool::BlockCount() const { return blockCount_; }

#endif
