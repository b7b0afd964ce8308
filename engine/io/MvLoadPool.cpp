#include "MvLoadPool.h"

#include "MvAssert.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace {

MvLoadPool* currentPixelPool = nullptr;
MvLoadPool* currentLinePool = nullptr;
MvLoadPool* currentSegmentPool = nullptr;

int64_t rlePixelCounter = 0;
int64_t blockPixelCounter = 0;

} // namespace

// A block begins with this header, which links it to the block taken before it; its
// pieces follow, aligned for any type.
struct alignas(std::max_align_t) MvLoadPool::Block {
    Block* previous;
};

MvLoadPool::MvLoadPool(size_t size)
    : blocks_(nullptr), cursor_(nullptr), blockEnd_(nullptr), used_(0), held_(0), size_(size), blockCount_(0),
      allocationFailed_(false)
{
}

MvLoadPool::~MvLoadPool()
{
    while (blocks_ != nullptr) {
        Block* const previous = blocks_->previous;
        std::free(blocks_);
        blocks_ = previous;
    }
}

void* MvLoadPool::Alloc(size_t size)
{
    MvAssert(!IsUsedUp());
    MvAssert(size <= Remaining());
    if (cursor_ == nullptr || size > static_cast<size_t>(blockEnd_ - cursor_)) {
        if (allocationFailed_)
            return nullptr;
        const size_t bytes = std::min(Remaining(), std::max({size, FirstBlockSize, held_}));
        Block* const block = static_cast<Block*>(std::malloc(sizeof(Block) + bytes));
        if (block == nullptr) {
            allocationFailed_ = true;
            return nullptr;
        }
        block->previous = blocks_;
        blocks_ = block;
        cursor_ = reinterpret_cast<uint8_t*>(block + 1);
        blockEnd_ = cursor_ + bytes;
        std::memset(cursor_, 0xAA, bytes);
        held_ += bytes;
        ++blockCount_;
    }
    void* piece = cursor_;
    cursor_ += size;
    used_ += size;
    return piece;
}

void SetCurrentLoadPools(MvLoadPool* pixelPool, MvLoadPool* linePool, MvLoadPool* segmentPool)
{
    currentPixelPool = pixelPool;
    currentLinePool = linePool;
    currentSegmentPool = segmentPool;
}

MvLoadPool* CurrentPixelPool() { return currentPixelPool; }
MvLoadPool* CurrentLinePool() { return currentLinePool; }
MvLoadPool* CurrentSegmentPool() { return currentSegmentPool; }

int64_t MvRlePixelCounter() { return rlePixelCounter; }
int64_t MvBlockPixelCounter() { return blockPixelCounter; }
void MvAddRlePixels(int64_t count) { rlePixelCounter += count; }
void MvAddBlockPixels(int64_t count) { blockPixelCounter += count; }
