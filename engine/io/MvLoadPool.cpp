#include "MvLoadPool.h"

#include "MvAssert.h"

#include <cstdlib>
#include <cstring>

namespace {

MvLoadPool* currentPixelPool = nullptr;
MvLoadPool* currentLinePool = nullptr;
MvLoadPool* currentSegmentPool = nullptr;

int64_t rlePixelCounter = 0;
int64_t blockPixelCounter = 0;

} // namespace

MvLoadPool::MvLoadPool(size_t size) : start_(nullptr), cursor_(nullptr), end_(nullptr), size_(size)
{
    if (size == 0)
        return;
    start_ = static_cast<uint8_t*>(std::malloc(size));
    if (start_ == nullptr)
        return;
    std::memset(start_, 0xAA, size);
    cursor_ = start_;
    end_ = start_ + size;
}

MvLoadPool::~MvLoadPool() { std::free(start_); }

void* MvLoadPool::Alloc(size_t size)
{
    MvAssert(cursor_ != end_);
    MvAssert(size <= Remaining());
    void* piece = cursor_;
    cursor_ += size;
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
