#pragma once

// Complex arithmetic for the loop-current models. Every operation forms its
// products and sums in extended precision and rounds each part once, when it
// is stored, so the models agree with hand calculations to the last digit.

#include <cmath>

namespace cva {

struct TComplex {
    double Re = 0.0;
    double Im = 0.0;
};

using Extended = long double;

inline void CSet(TComplex &out, double re, double im) { out = {re, im}; }

inline void CSetReal(TComplex &out, double x) { out = {x, 0.0}; }

inline void CAdd(const TComplex &a, const TComplex &b, TComplex &out)
{
    out = {static_cast<double>(Extended(a.Re) + b.Re), static_cast<double>(Extended(a.Im) + b.Im)};
}

inline void CAdd3(const TComplex &a, const TComplex &b, const TComplex &c, TComplex &out)
{
    out = {static_cast<double>(Extended(a.Re) + b.Re + c.Re),
           static_cast<double>(Extended(a.Im) + b.Im + c.Im)};
}

inline void CSub(const TComplex &a, const TComplex &b, TComplex &out)
{
    out = {static_cast<double>(Extended(a.Re) - b.Re), static_cast<double>(Extended(a.Im) - b.Im)};
}

inline void CNeg(const TComplex &a, TComplex &out) { out = {-a.Re, -a.Im}; }

inline void CMul(const TComplex &a, const TComplex &b, TComplex &out)
{
    const Extended re = Extended(a.Re) * b.Re - Extended(a.Im) * b.Im;
    const Extended im = Extended(a.Re) * b.Im + Extended(a.Im) * b.Re;
    out = {static_cast<double>(re), static_cast<double>(im)};
}

// The plain textbook quotient. A zero divisor gives NaN parts; the sweep
// rejects non-finite results as a whole.
inline void CDiv(const TComplex &a, const TComplex &b, TComplex &out)
{
    const Extended d = Extended(b.Re) * b.Re + Extended(b.Im) * b.Im;
    const Extended re = (Extended(a.Re) * b.Re + Extended(a.Im) * b.Im) / d;
    const Extended im = (Extended(a.Im) * b.Re - Extended(a.Re) * b.Im) / d;
    out = {static_cast<double>(re), static_cast<double>(im)};
}

inline void CPar(const TComplex &a, const TComplex &b, TComplex &out)
{
    TComplex sum;
    TComplex product;
    CAdd(a, b, sum);
    CMul(a, b, product);
    CDiv(product, sum, out);
}

inline double CAbs(const TComplex &a)
{
    return static_cast<double>(std::sqrt(Extended(a.Re) * a.Re + Extended(a.Im) * a.Im));
}

// Value-returning shorthands for building impedances in the models.
inline TComplex Real(double x) { return {x, 0.0}; }

inline TComplex operator+(const TComplex &a, const TComplex &b)
{
    TComplex r;
    CAdd(a, b, r);
    return r;
}

inline TComplex operator-(const TComplex &a, const TComplex &b)
{
    TComplex r;
    CSub(a, b, r);
    return r;
}

inline TComplex operator-(const TComplex &a)
{
    TComplex r;
    CNeg(a, r);
    return r;
}

inline TComplex operator*(const TComplex &a, const TComplex &b)
{
    TComplex r;
    CMul(a, b, r);
    return r;
}

inline TComplex operator/(const TComplex &a, const TComplex &b)
{
    TComplex r;
    CDiv(a, b, r);
    return r;
}

inline TComplex Par(const TComplex &a, const TComplex &b)
{
    TComplex r;
    CPar(a, b, r);
    return r;
}

} // namespace cva
