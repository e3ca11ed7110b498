// The packed 4-vector table: each operation is one packed single-precision instruction on
// unaligned loads and one unaligned store. This is the one file built with SSE enabled;
// its code runs only where the server's flag says the processor has SSE.
#include "engine/vector_math.h"

#include <xmmintrin.h>

namespace {

__m128 Load(const Vector4& v) {
    return _mm_loadu_ps(&v.X);
}

void Store(Vector4* out, __m128 v) {
    _mm_storeu_ps(&out->X, v);
}

} // namespace

void THISCALL _Vector4MathFunctionsSSE::Add_Out(const Vector4& a, const Vector4& b, Vector4* out) {
    Store(out, _mm_add_ps(Load(a), Load(b)));
}

void THISCALL _Vector4MathFunctionsSSE::Subtract_Out(const Vector4& a, const Vector4& b,
                                                     Vector4* out) {
    Store(out, _mm_sub_ps(Load(a), Load(b)));
}

void THISCALL _Vector4MathFunctionsSSE::Scale_Out(const Vector4& a, const float& s, Vector4* out) {
    Store(out, _mm_mul_ps(Load(a), _mm_load1_ps(&s)));
}

void THISCALL _Vector4MathFunctionsSSE::Multiply_Out(const Vector4& a, const Vector4& b,
                                                     Vector4* out) {
    Store(out, _mm_mul_ps(Load(a), Load(b)));
}

// The reciprocal is taken once, in single precision, and then multiplied in: the same
// result as the plain table's.
void THISCALL _Vector4MathFunctionsSSE::Divide_By_Scalar_Out(const Vector4& a, const float& s,
                                                             Vector4* out) {
    const __m128 reciprocal = _mm_div_ss(_mm_set_ss(1.0f), _mm_load_ss(&s));
    Store(out, _mm_mul_ps(Load(a), _mm_shuffle_ps(reciprocal, reciprocal, 0)));
}

void THISCALL _Vector4MathFunctionsSSE::Divide_Out(const Vector4& a, const Vector4& b,
                                                   Vector4* out) {
    Store(out, _mm_div_ps(Load(a), Load(b)));
}
