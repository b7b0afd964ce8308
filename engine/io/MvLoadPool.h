#ifndef MV_LOAD_POOL_H
#define MV_LOAD_POOL_H

#include <cstddef>
#include <cstdint>

/// @file
/// The bump allocator MvLoadPool, the process-wide current load pools that the image readers
/// take their storage from, and the counters of pixels read.

/// A bump allocator over one block of memory. Loading a resource file takes all pixels,
/// RLE rows and RLE segments of the file from three such pools, sized exactly from the
/// file's tallies, instead of making one allocation per piece; the pieces are never freed
/// one by one, the whole block goes when the pool is destroyed. While a file is being read
/// its three pools are the process-wide current load pools, from which the image readers
/// take their storage.
class MvLoadPool {
public:
    /// A pool of size bytes, taken in one allocation and filled with 0xAA so that storage
    /// used before it is written stands out. When the allocation fails the pool has no
    /// block (HasBlock is false) and can hand out nothing.
    explicit MvLoadPool(size_t size);

    /// Frees the block; the pieces handed out become invalid.
    ~MvLoadPool();

    MvLoadPool(const MvLoadPool&) = delete;
    MvLoadPool& operator=(const MvLoadPool&) = delete;

    /// The next size bytes of the block. Asserts the pool is not used up and that size
    /// does not pass the end; readers of untrusted data test Remaining first.
    void* Alloc(size_t size);

    /// True when every byte has been handed out.
    bool IsUsedUp() const;

    /// Bytes not yet handed out.
    size_t Remaining() const;

    /// Bytes handed out so far.
    size_t Used() const;

    /// The size asked for at construction.
    size_t Size() const;

    /// False when the block could not be allocated.
    bool HasBlock() const;

private:
    uint8_t* start_;
    uint8_t* cursor_;
    uint8_t* end_;
    size_t size_;
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

inline bool MvLoadPool::IsUsedUp() const { return cursor_ == end_; }
inline size_t MvLoadPool::Remaining() const { return static_cast<size_t>(end_ - cursor_); }
inline size_t MvLoadPool::Used() const { return static_cast<size_t>(cursor_ - start_); }
inline size_t MvLoadPool::Size() const { return size_; }
inline bool MvLoadPool::HasBlock() const { return start_ != nullptr || size_ == 0; }

#endif
