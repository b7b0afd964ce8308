#ifndef MV_FIXED_H
#define MV_FIXED_H

#include "MvAssert.h"

#include <cstdint>

/// @file
/// The 16.16 fixed-point number MvFixed and its raw value of 1.0.

/// A 16.16 fixed-point number: one signed 32-bit integer holding the value times 65536.
/// Positions and scales that may be fractional are MvFixed, so placement is exact and
/// repeatable on every machine. Addition and subtraction wrap; products and quotients go
/// through 64 bits so that no high bits are lost before the final 32-bit result. A
/// default-constructed value is unset; every holder sets it before use.
class MvFixed {
public:
    MvFixed() = default;

    /// i << 16; integers outside -32768..32767 do not fit and are not checked.
    static MvFixed FromInt(int i);
    /// d * 65536 + 0.5, truncated toward zero (so -1.5 gives raw -98303).
    static MvFixed FromDouble(double d);
    /// The value with the given raw 16.16 representation.
    static MvFixed FromRaw(int32_t raw);

    /// raw >> 16, rounding toward minus infinity.
    int ToInt() const;
    /// (raw + 1/32) >> 16: rounds up only within 1/32 below the next integer.
    int RoundToInt() const;
    /// The value as a double, exactly.
    double ToDouble() const;
    /// The raw 16.16 representation.
    int32_t Raw() const;

    /// The sum of the raw values, wrapping on overflow.
    MvFixed operator+(MvFixed o) const;
    /// The difference of the raw values, wrapping on overflow.
    MvFixed operator-(MvFixed o) const;
    /// The negated value, wrapping on overflow.
    MvFixed operator-() const;
    /// 64-bit product of the raw values, arithmetic shift right by 16, low 32 bits.
    MvFixed operator*(MvFixed o) const;
    /// The product with FromInt(i).
    MvFixed operator*(int i) const;
    /// (raw << 16) / o.raw in 64 bits, truncating. Asserts o is not zero.
    MvFixed operator/(MvFixed o) const;
    /// As the binary operator, storing the result in this value; /= asserts o is not zero.
    ///@{
    MvFixed& operator+=(MvFixed o);
    MvFixed& operator-=(MvFixed o);
    MvFixed& operator*=(MvFixed o);
    MvFixed& operator/=(MvFixed o);
    ///@}

    /// Compare the raw values.
    ///@{
    bool operator==(MvFixed o) const;
    bool operator!=(MvFixed o) const;
    bool operator<(MvFixed o) const;
    bool operator>(MvFixed o) const;
    bool operator<=(MvFixed o) const;
    bool operator>=(MvFixed o) const;
    ///@}
    /// Compare with FromInt(i).
    ///@{
    bool operator==(int i) const;
    bool operator!=(int i) const;
    bool operator<(int i) const;
    bool operator>(int i) const;
    bool operator<=(int i) const;
    bool operator>=(int i) const;
    ///@}

private:
    int32_t raw_;
};

/// The raw value 1.0.
constexpr int32_t MvFixedOne = 0x10000;

inline MvFixed MvFixed::FromRaw(int32_t raw)
{
    MvFixed f;
    f.raw_ = raw;
    return f;
}

inline MvFixed MvFixed::FromInt(int i)
{
    return FromRaw(static_cast<int32_t>(static_cast<uint32_t>(i) << 16));
}

inline MvFixed MvFixed::FromDouble(double d)
{
    return FromRaw(static_cast<int32_t>(d * 65536.0 + 0.5));
}

inline int MvFixed::ToInt() const { return raw_ >> 16; }

inline int MvFixed::RoundToInt() const
{
    return static_cast<int32_t>(static_cast<uint32_t>(raw_) + 0x800u) >> 16;
}

inline double MvFixed::ToDouble() const { return raw_ / 65536.0; }
inline int32_t MvFixed::Raw() const { return raw_; }

inline MvFixed MvFixed::operator+(MvFixed o) const
{
    return FromRaw(static_cast<int32_t>(static_cast<uint32_t>(raw_) + static_cast<uint32_t>(o.raw_)));
}

inline MvFixed MvFixed::operator-(MvFixed o) const
{
    return FromRaw(static_cast<int32_t>(static_cast<uint32_t>(raw_) - static_cast<uint32_t>(o.raw_)));
}

inline MvFixed MvFixed::operator-() const
{
    return FromRaw(static_cast<int32_t>(0u - static_cast<uint32_t>(raw_)));
}

inline MvFixed MvFixed::operator*(MvFixed o) const
{
    int64_t product = static_cast<int64_t>(raw_) * o.raw_;
    return FromRaw(static_cast<int32_t>(product >> 16));
}

inline MvFixed MvFixed::operator*(int i) const { return *this * FromInt(i); }

inline MvFixed MvFixed::operator/(MvFixed o) const
{
    MvAssert(o.raw_ != 0);
    int64_t dividend = static_cast<int64_t>(raw_) * 65536;
    return FromRaw(static_cast<int32_t>(dividend / o.raw_));
}

inline MvFixed& MvFixed::operator+=(MvFixed o) { return *this = *this + o; }
inline MvFixed& MvFixed::operator-=(MvFixed o) { return *this = *this - o; }
inline MvFixed& MvFixed::operator*=(MvFixed o) { return *this = *this * o; }
inline MvFixed& MvFixed::operator/=(MvFixed o) { return *this = *this / o; }

inline bool MvFixed::operator==(MvFixed o) const { return raw_ == o.raw_; }
inline bool MvFixed::operator!=(MvFixed o) const { return raw_ != o.raw_; }
inline bool MvFixed::operator<(MvFixed o) const { return raw_ < o.raw_; }
inline bool MvFixed::operator>(MvFixed o) const { return raw_ > o.raw_; }
inline bool MvFixed::operator<=(MvFixed o) const { return raw_ <= o.raw_; }
inline bool MvFixed::operator>=(MvFixed o) const { return raw_ >= o.raw_; }
inline bool MvFixed::operator==(int i) const { return *this == FromInt(i); }
inline bool MvFixed::operator!=(int i) const { return *this != FromInt(i); }
inline bool MvFixed::operator<(int i) const { return *this < FromInt(i); }
inline bool MvFixed::operator>(int i) const { return *this > FromInt(i); }
inline bool MvFixed::operator<=(int i) const { return *this <= FromInt(i); }
inline bool MvFixed::operator>=(int i) const { return *this >= FromInt(i); }

#endif
