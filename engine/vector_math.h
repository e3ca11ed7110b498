// The server's vector math tables: objects whose only content is their table of virtual
// operations, one for 3-component and one for 4-component vectors (the latter in a packed
// SSE variant where the server says it may be used). Every binding run installs them.
//
// The slots are the server's: virtual functions in slot order, each thiscall, no virtual
// destructor and no overloads, so that the compiler numbers them as the server's does.
// Inputs and the scalar come by reference, results through `out` in the *_Out forms.
//
// A by-value form returns its vector the way the server's compiler returns one from a
// member function: into a block of the caller's whose address is the first argument after
// the object and comes back in EAX. It is written out as that `result` argument because
// GCC would pass the address of a returned structure in ECX and the object on the stack.
// Each fills a zeroed vector through its *_Out slot in the object's own table and copies
// it to `result`.
#pragma once

#include "host/calling.h"

struct Vector3 {
    float X, Y, Z;
};
struct Vector4 {
    float X, Y, Z, W;
};
static_assert(sizeof(Vector3) == 12, "three consecutive 32-bit floats");
static_assert(sizeof(Vector4) == 16, "four consecutive 32-bit floats");

class _Vector3MathFunctions {
  public:
    virtual Vector3* THISCALL Add(Vector3* result, const Vector3& a, const Vector3& b);      // 0
    virtual void THISCALL Add_Out(const Vector3& a, const Vector3& b, Vector3* out);         // 1
    virtual Vector3* THISCALL Subtract(Vector3* result, const Vector3& a, const Vector3& b); // 2
    virtual void THISCALL Subtract_Out(const Vector3& a, const Vector3& b, Vector3* out);    // 3
    virtual Vector3* THISCALL Scale(Vector3* result, const Vector3& a, const float& s);      // 4
    virtual Vector3* THISCALL Multiply(Vector3* result, const Vector3& a, const Vector3& b); // 5
    virtual void THISCALL Scale_Out(const Vector3& a, const float& s, Vector3* out);         // 6
    virtual void THISCALL Multiply_Out(const Vector3& a, const Vector3& b, Vector3* out);    // 7
    virtual Vector3* THISCALL Divide_By_Scalar(Vector3* result, const Vector3& a,
                                               const float& s);                            // 8
    virtual Vector3* THISCALL Divide(Vector3* result, const Vector3& a, const Vector3& b); // 9
    virtual void THISCALL Divide_By_Scalar_Out(const Vector3& a, const float& s,
                                               Vector3* out);                           // 10
    virtual void THISCALL Divide_Out(const Vector3& a, const Vector3& b, Vector3* out); // 11
    virtual Vector3* THISCALL Product_Difference(Vector3* result, const Vector3& a,
                                                 const Vector3& b); // 12
    // The cross product a × b.
    virtual void THISCALL Product_Difference_Out(const Vector3& a, const Vector3& b,
                                                 Vector3* out);             // 13
    virtual Vector3* THISCALL Normalize(Vector3* result, const Vector3& a); // 14
    // Unit length, or the zero vector where the squared length is exactly 0.
    virtual void THISCALL Normalize_Out(const Vector3& a, Vector3* out); // 15
    virtual float THISCALL Dot(const Vector3& a, const Vector3& b);      // 16
    // Summed z first: a.z·b.z + a.y·b.y + a.x·b.x.
    virtual void THISCALL Dot_Out(const Vector3& a, const Vector3& b, float* out); // 17
};

class _Vector4MathFunctions {
  public:
    virtual Vector4* THISCALL Add(Vector4* result, const Vector4& a, const Vector4& b);      // 0
    virtual void THISCALL Add_Out(const Vector4& a, const Vector4& b, Vector4* out);         // 1
    virtual Vector4* THISCALL Subtract(Vector4* result, const Vector4& a, const Vector4& b); // 2
    virtual void THISCALL Subtract_Out(const Vector4& a, const Vector4& b, Vector4* out);    // 3
    virtual Vector4* THISCALL Scale(Vector4* result, const Vector4& a, const float& s);      // 4
    virtual Vector4* THISCALL Multiply(Vector4* result, const Vector4& a, const Vector4& b); // 5
    virtual void THISCALL Scale_Out(const Vector4& a, const float& s, Vector4* out);         // 6
    virtual void THISCALL Multiply_Out(const Vector4& a, const Vector4& b, Vector4* out);    // 7
    virtual Vector4* THISCALL Divide_By_Scalar(Vector4* result, const Vector4& a,
                                               const float& s);                            // 8
    virtual Vector4* THISCALL Divide(Vector4* result, const Vector4& a, const Vector4& b); // 9
    virtual void THISCALL Divide_By_Scalar_Out(const Vector4& a, const float& s,
                                               Vector4* out);                           // 10
    virtual void THISCALL Divide_Out(const Vector4& a, const Vector4& b, Vector4* out); // 11
};

// Packed single-precision forms of the six out-parameter slots; the by-value slots are
// inherited and reach these through the table.
class _Vector4MathFunctionsSSE : public _Vector4MathFunctions {
  public:
    void THISCALL Add_Out(const Vector4& a, const Vector4& b, Vector4* out) override;      // 1
    void THISCALL Subtract_Out(const Vector4& a, const Vector4& b, Vector4* out) override; // 3
    void THISCALL Scale_Out(const Vector4& a, const float& s, Vector4* out) override;      // 6
    void THISCALL Multiply_Out(const Vector4& a, const Vector4& b, Vector4* out) override; // 7
    void THISCALL Divide_By_Scalar_Out(const Vector4& a, const float& s,
                                       Vector4* out) override;                           // 10
    void THISCALL Divide_Out(const Vector4& a, const Vector4& b, Vector4* out) override; // 11
};

// Each instance is its table word alone, in a 4-byte block of the server's memory.
static_assert(sizeof(_Vector3MathFunctions) == 4, "only the table word");
static_assert(sizeof(_Vector4MathFunctions) == 4, "only the table word");
static_assert(sizeof(_Vector4MathFunctionsSSE) == 4, "only the table word");

// The installed tables; null until installed or where their block could not be had.
extern _Vector3MathFunctions* Vector3_Math;
extern _Vector4MathFunctions* Vector4_Math;

// Makes new instances and picks the 4-vector variant from the server's SSE flag; part of
// every binding run. Instances of an earlier run are kept: something may still use them.
void Install_Vector_Math();
