#include "MvTexture.h"

#include "MvAssert.h"

MvTexture::MvTexture(uint32_t name, bool scaled) : referenceCount_(0), name_(name), scaled_(scaled) { }

void MvTexture::AddReference() { ++referenceCount_; }

bool MvTexture::DropReference()
{
    MvAssert(referenceCount_ > 0);
    --referenceCount_;
    return referenceCount_ == 0;
}
