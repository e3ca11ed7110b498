// The plain tables, component by component on the scalar unit. Every input component is
// read before the first output component is written, so `out` may be `a` or `b`.
#include "engine/vector_math.h"

#include "engine/host_memory.h"
#include "host/host_addresses.h"

#include <cmath>
#include <cstring>
#include <new>

_Vector3MathFunctions* Vector3_Math = nullptr;
_Vector4MathFunctions* Vector4_Math = nullptr;

namespace {

// A vector's components as an array, copied in so that the inputs are all read first.
template <class V> struct Components {
    static constexpr size_t Count = sizeof(V) / sizeof(float);
    float At[Count];
    explicit Components(const V& v) { std::memcpy(At, &v, sizeof At); }
    void Store(V* out) const { std::memcpy(out, At, sizeof At); }
};

template <class V, class Op> void Each(const V& a, const V& b, V* out, Op op) {
    Components<V> x(a);
    const Components<V> y(b);
    for (size_t i = 0; i < Components<V>::Count; ++i)
        x.At[i] = op(x.At[i], y.At[i]);
    x.Store(out);
}

template <class V> void Scale_Each(const V& a, float s, V* out) {
    Components<V> x(a);
    for (float& c : x.At)
        c *= s;
    x.Store(out);
}

// A float rounded to 32 bits. The x87 unit keeps intermediates wider, and a reciprocal
// that stayed wide would give other products than the packed unit's.
float Rounded(float value) {
    volatile float stored = value;
    return stored;
}

float Reciprocal(const float& s) {
    return Rounded(1.0f / s);
}

float Sum(float a, float b) {
    return a + b;
}
float Difference(float a, float b) {
    return a - b;
}
float Product(float a, float b) {
    return a * b;
}
float Quotient(float a, float b) {
    return a / b;
}

// A block of the server's memory made into a table object, or null without one.
template <class T> T* New_Table() {
    void* block = Plugin_Alloc(sizeof(T));
    return block ? ::new (block) T : nullptr;
}

// The by-value forms: a zeroed vector filled through the out slot of the object's own
// table (the call through the member pointer is virtual, so a derived table's override
// serves them too), then copied to the caller's block.
template <class R, class Self, class A>
R* Filled(Self* self, void (THISCALL Self::*out_slot)(const A&, R*), R* result, const A& a) {
    R value{};
    (self->*out_slot)(a, &value);
    *result = value;
    return result;
}

template <class R, class Self, class A, class B>
R* Filled(Self* self, void (THISCALL Self::*out_slot)(const A&, const B&, R*), R* result,
          const A& a, const B& b) {
    R value{};
    (self->*out_slot)(a, b, &value);
    *result = value;
    return result;
}

using V3 = _Vector3MathFunctions;
using V4 = _Vector4MathFunctions;

} // namespace

Vector3* THISCALL V3::Add(Vector3* result, const Vector3& a, const Vector3& b) {
    return Filled(this, &V3::Add_Out, result, a, b);
}
Vector3* THISCALL V3::Subtract(Vector3* result, const Vector3& a, const Vector3& b) {
    return Filled(this, &V3::Subtract_Out, result, a, b);
}
Vector3* THISCALL V3::Scale(Vector3* result, const Vector3& a, const float& s) {
    return Filled(this, &V3::Scale_Out, result, a, s);
}
Vector3* THISCALL V3::Multiply(Vector3* result, const Vector3& a, const Vector3& b) {
    return Filled(this, &V3::Multiply_Out, result, a, b);
}
Vector3* THISCALL V3::Divide_By_Scalar(Vector3* result, const Vector3& a, const float& s) {
    return Filled(this, &V3::Divide_By_Scalar_Out, result, a, s);
}
Vector3* THISCALL V3::Divide(Vector3* result, const Vector3& a, const Vector3& b) {
    return Filled(this, &V3::Divide_Out, result, a, b);
}
Vector3* THISCALL V3::Product_Difference(Vector3* result, const Vector3& a, const Vector3& b) {
    return Filled(this, &V3::Product_Difference_Out, result, a, b);
}
Vector3* THISCALL V3::Normalize(Vector3* result, const Vector3& a) {
    return Filled(this, &V3::Normalize_Out, result, a);
}
// A float comes back in ST(0) with either compiler.
float THISCALL V3::Dot(const Vector3& a, const Vector3& b) {
    float value = 0;
    Dot_Out(a, b, &value);
    return value;
}

Vector4* THISCALL V4::Add(Vector4* result, const Vector4& a, const Vector4& b) {
    return Filled(this, &V4::Add_Out, result, a, b);
}
Vector4* THISCALL V4::Subtract(Vector4* result, const Vector4& a, const Vector4& b) {
    return Filled(this, &V4::Subtract_Out, result, a, b);
}
Vector4* THISCALL V4::Scale(Vector4* result, const Vector4& a, const float& s) {
    return Filled(this, &V4::Scale_Out, result, a, s);
}
Vector4* THISCALL V4::Multiply(Vector4* result, const Vector4& a, const Vector4& b) {
    return Filled(this, &V4::Multiply_Out, result, a, b);
}
Vector4* THISCALL V4::Divide_By_Scalar(Vector4* result, const Vector4& a, const float& s) {
    return Filled(this, &V4::Divide_By_Scalar_Out, result, a, s);
}
Vector4* THISCALL V4::Divide(Vector4* result, const Vector4& a, const Vector4& b) {
    return Filled(this, &V4::Divide_Out, result, a, b);
}

// The out-parameter forms of both plain tables.
void THISCALL V3::Add_Out(const Vector3& a, const Vector3& b, Vector3* out) {
    Each(a, b, out, Sum);
}
void THISCALL V3::Subtract_Out(const Vector3& a, const Vector3& b, Vector3* out) {
    Each(a, b, out, Difference);
}
void THISCALL V3::Scale_Out(const Vector3& a, const float& s, Vector3* out) {
    Scale_Each(a, s, out);
}
void THISCALL V3::Multiply_Out(const Vector3& a, const Vector3& b, Vector3* out) {
    Each(a, b, out, Product);
}
void THISCALL V3::Divide_By_Scalar_Out(const Vector3& a, const float& s, Vector3* out) {
    Scale_Each(a, Reciprocal(s), out);
}
void THISCALL V3::Divide_Out(const Vector3& a, const Vector3& b, Vector3* out) {
    Each(a, b, out, Quotient);
}

void THISCALL V4::Add_Out(const Vector4& a, const Vector4& b, Vector4* out) {
    Each(a, b, out, Sum);
}
void THISCALL V4::Subtract_Out(const Vector4& a, const Vector4& b, Vector4* out) {
    Each(a, b, out, Difference);
}
void THISCALL V4::Scale_Out(const Vector4& a, const float& s, Vector4* out) {
    Scale_Each(a, s, out);
}
void THISCALL V4::Multiply_Out(const Vector4& a, const Vector4& b, Vector4* out) {
    Each(a, b, out, Product);
}
void THISCALL V4::Divide_By_Scalar_Out(const Vector4& a, const float& s, Vector4* out) {
    Scale_Each(a, Reciprocal(s), out);
}
void THISCALL V4::Divide_Out(const Vector4& a, const Vector4& b, Vector4* out) {
    Each(a, b, out, Quotient);
}

void THISCALL V3::Product_Difference_Out(const Vector3& a, const Vector3& b, Vector3* out) {
    const Vector3 cross = {
        a.Y * b.Z - a.Z * b.Y,
        a.Z * b.X - a.X * b.Z,
        a.X * b.Y - a.Y * b.X,
    };
    *out = cross;
}

void THISCALL V3::Normalize_Out(const Vector3& a, Vector3* out) {
    const float squared = Rounded(a.X * a.X + a.Y * a.Y + a.Z * a.Z);
    if (squared == 0.0f) {
        *out = Vector3{0.0f, 0.0f, 0.0f};
        return;
    }
    const float r = Rounded(1.0f / std::sqrt(squared));
    const Vector3 unit = {a.X * r, a.Y * r, a.Z * r};
    *out = unit;
}

void THISCALL V3::Dot_Out(const Vector3& a, const Vector3& b, float* out) {
    *out = a.Z * b.Z + a.Y * b.Y + a.X * b.X;
}

void Install_Vector_Math() {
    Vector3_Math = New_Table<_Vector3MathFunctions>();
    if (Host_SSE_Flag && *Host_SSE_Flag != 0)
        Vector4_Math = New_Table<_Vector4MathFunctionsSSE>();
    else
        Vector4_Math = New_Table<_Vector4MathFunctions>();
}
