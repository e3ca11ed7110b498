// The vector math tables a binding run installs: the variant the server's SSE flag picks,
// the blocks they live in, and every slot of the plain and the packed tables, called as
// the server calls them.
#include "engine/vector_math.h"

#include "host/host_addresses.h"
#include "standin/server_image.h"
#include "standin_test.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <typeinfo>

namespace {

// Slots of a raw table, as the server calls them: the object in ECX, then the pointers;
// a by-value slot takes the caller's result block first and gives its address back.
using Out_Slot = void(THISCALL*)(void* self, const void* a, const void* b, void* out);
using By_Value_Slot = void*(THISCALL*)(void* self, void* result, const void* a, const void* b);

const void* const* Table_Of(const void* object) {
    const void* const* table;
    std::memcpy(&table, object, sizeof table);
    return table;
}

Out_Slot Raw_Slot(const void* object, int slot) {
    return Bit_Cast<Out_Slot>(Table_Of(object)[slot]);
}

By_Value_Slot Raw_By_Value_Slot(const void* object, int slot) {
    return Bit_Cast<By_Value_Slot>(Table_Of(object)[slot]);
}

// Equal, or both NaN: the units agree on NaN, not on its payload.
bool Same(float seen, float wanted) {
    return seen == wanted || (std::isnan(seen) && std::isnan(wanted));
}

template <class V> constexpr size_t Count = sizeof(V) / sizeof(float);

template <class V> const float* Parts(const V& v) {
    return &v.X;
}

template <class V> testing::AssertionResult Same_Vector(const V& seen, const V& wanted) {
    for (size_t i = 0; i < Count<V>; ++i)
        if (!Same(Parts(seen)[i], Parts(wanted)[i]))
            return testing::AssertionFailure()
                   << "component " << i << " is " << Parts(seen)[i] << ", not " << Parts(wanted)[i];
    return testing::AssertionSuccess();
}

// One vector operation: its two slots, and what a component comes out as. The wanted
// values are taken in double precision and rounded once, which is the correctly rounded
// single-precision result whichever unit computes it.
struct Operation {
    const char* name;
    int by_value_slot, out_slot;
    bool scalar; // the second input is the scalar s
    double (*component)(double a, double b);
};
const Operation Operations[] = {
    {"Add", 0, 1, false, [](double a, double b) { return a + b; }},
    {"Subtract", 2, 3, false, [](double a, double b) { return a - b; }},
    {"Scale", 4, 6, true, [](double a, double s) { return a * s; }},
    {"Multiply", 5, 7, false, [](double a, double b) { return a * b; }},
    // The reciprocal of s, rounded to single precision, times each component.
    {"Divide_By_Scalar", 8, 10, true,
     [](double a, double s) { return a * static_cast<float>(1.0 / s); }},
    {"Divide", 9, 11, false, [](double a, double b) { return a / b; }},
};

struct Inputs {
    const char* name;
    Vector4 a, b;
    float s;
};
const Inputs Input_Rows[] = {
    {"small integers", {1, 2, 3, 4}, {5, -6, 7, 0.5f}, 2},
    {"fractions that round", {0.1f, 1.0f / 3, -2.7f, 7}, {3, 0.3f, 0.25f, -7}, -0.3f},
    {"wide magnitudes", {1e30f, -1e-20f, 65504, -0.0f}, {1e-10f, 3e12f, -1, 2}, 1e5f},
};

template <class V> V Prefix(const Vector4& v) {
    V out;
    std::memcpy(&out, &v, sizeof out);
    return out;
}

// Every per-component slot of a table on every input row, called through the raw table:
// by value, into `out`, and with `out` standing in for either input.
template <class Table, class V> void Check_Per_Component_Slots(Table& table) {
    for (const Inputs& row : Input_Rows) {
        SCOPED_TRACE(row.name);
        const V a = Prefix<V>(row.a), b = Prefix<V>(row.b);
        for (const Operation& op : Operations) {
            SCOPED_TRACE(op.name);
            float parts[Count<V>];
            for (size_t i = 0; i < Count<V>; ++i)
                parts[i] =
                    static_cast<float>(op.component(Parts(a)[i], op.scalar ? row.s : Parts(b)[i]));
            V wanted;
            std::memcpy(&wanted, parts, sizeof wanted);
            const void* second = op.scalar ? static_cast<const void*>(&row.s) : &b;

            V result;
            std::memset(&result, 0xAB, sizeof result);
            EXPECT_EQ(Raw_By_Value_Slot(&table, op.by_value_slot)(&table, &result, &a, second),
                      &result);
            EXPECT_TRUE(Same_Vector(result, wanted)) << "by value";
            V out;
            std::memset(&out, 0xAB, sizeof out);
            Raw_Slot(&table, op.out_slot)(&table, &a, second, &out);
            EXPECT_TRUE(Same_Vector(out, wanted));

            V in_a = a;
            Raw_Slot(&table, op.out_slot)(&table, &in_a, second, &in_a);
            EXPECT_TRUE(Same_Vector(in_a, wanted)) << "out is a";
            if (!op.scalar) {
                V in_b = b;
                Raw_Slot(&table, op.out_slot)(&table, &a, &in_b, &in_b);
                EXPECT_TRUE(Same_Vector(in_b, wanted)) << "out is b";
            }
        }
    }
}

class VectorMath : public StandinTest {
  protected:
    static void Bind_With_Sse_Flag(unsigned char flag) {
        standin::Clear_Host_Routines();
        ASSERT_TRUE(standin::Plant_Server_Image({Exe_Kind_0}, flag));
        standin::Bind_Host();
    }

    static _Vector4MathFunctions& Plain() {
        static _Vector4MathFunctions table;
        return table;
    }
    static _Vector4MathFunctionsSSE& Packed() {
        static _Vector4MathFunctionsSSE table;
        return table;
    }
    static _Vector3MathFunctions& Three() {
        static _Vector3MathFunctions table;
        return table;
    }
};

TEST_F(VectorMath, the_sse_flag_picks_the_packed_four_vector_table) {
    const struct {
        int32_t kind;
        unsigned char flag;
        bool packed;
    } cases[] = {
        {Exe_Kind_0, 0, false},
        {Exe_Kind_0, 1, true},
        {Exe_Kind_1, 0x80, true},
        {Exe_Kind_4, 1, false}, // no flag in this build
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "build " << c.kind << " flag " << int(c.flag));
        standin::Clear_Host_Routines();
        ASSERT_TRUE(standin::Plant_Server_Image({c.kind}, c.flag));
        standin::Bind_Host();
        ASSERT_NE(Vector3_Math, nullptr);
        ASSERT_NE(Vector4_Math, nullptr);
        EXPECT_EQ(typeid(*Vector3_Math), typeid(_Vector3MathFunctions));
        EXPECT_EQ(typeid(*Vector4_Math) == typeid(_Vector4MathFunctionsSSE), c.packed);
        // Each table is its table word alone, in a block of the server's memory.
        EXPECT_EQ(standin::Block_Size(Vector3_Math), 4u);
        EXPECT_EQ(standin::Block_Size(Vector4_Math), 4u);
    }
}

TEST_F(VectorMath, a_table_whose_block_cannot_be_had_stays_null) {
    const struct {
        long successes;
        bool three, four;
    } cases[] = {{0, false, false}, {1, true, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.successes);
        standin::Fail_After(c.successes);
        standin::Bind_Host();
        EXPECT_EQ(Vector3_Math != nullptr, c.three);
        EXPECT_EQ(Vector4_Math != nullptr, c.four);
        standin::Fail_After(-1);
    }
}

TEST_F(VectorMath, every_per_component_slot_gives_the_rounded_result_in_all_three_tables) {
    {
        SCOPED_TRACE("plain 4-vector table");
        Check_Per_Component_Slots<_Vector4MathFunctions, Vector4>(Plain());
    }
    {
        SCOPED_TRACE("packed 4-vector table");
        Check_Per_Component_Slots<_Vector4MathFunctions, Vector4>(Packed());
    }
    {
        SCOPED_TRACE("3-vector table");
        Check_Per_Component_Slots<_Vector3MathFunctions, Vector3>(Three());
    }
}

TEST_F(VectorMath, the_packed_table_needs_no_alignment) {
    alignas(16) float buffer[16] = {0, 1, 2, 3, 4, 0, 5, 6, 7, 8};
    // a at float 1, b at float 6, out at float 11: none on a 16-byte boundary.
    const float s = 2;
    Raw_Slot(&Packed(), 6)(&Packed(), buffer + 1, &s, buffer + 11);
    EXPECT_TRUE(Same_Vector(*reinterpret_cast<Vector4*>(buffer + 11), Vector4{2, 4, 6, 8}));
    Raw_Slot(&Packed(), 1)(&Packed(), buffer + 1, buffer + 6, buffer + 11);
    EXPECT_TRUE(Same_Vector(*reinterpret_cast<Vector4*>(buffer + 11), Vector4{6, 8, 10, 12}));
}

TEST_F(VectorMath, division_by_zero_gives_infinities_and_nans) {
    const float zero = 0;
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const Vector4 a = {1, -1, 0, 2};
    const Vector4 zeros = {0, 0, 0, 0};
    const Vector4 wanted = {inf, -inf, nan, inf};
    for (_Vector4MathFunctions* table :
         {&Plain(), static_cast<_Vector4MathFunctions*>(&Packed())}) {
        SCOPED_TRACE(typeid(*table).name());
        Vector4 out;
        EXPECT_TRUE(Same_Vector(*table->Divide_By_Scalar(&out, a, zero), wanted));
        EXPECT_TRUE(Same_Vector(*table->Divide(&out, a, zeros), wanted));
    }
    const Vector3 a3 = {1, -1, 0};
    const Vector3 wanted3 = {inf, -inf, nan};
    Vector3 out3;
    EXPECT_TRUE(Same_Vector(*Three().Divide_By_Scalar(&out3, a3, zero), wanted3));
    EXPECT_TRUE(Same_Vector(*Three().Divide(&out3, a3, Vector3{0, 0, 0}), wanted3));
}

TEST_F(VectorMath, normalize_gives_unit_length_or_the_zero_vector) {
    const struct {
        Vector3 a, wanted;
    } cases[] = {
        {{0, 0, 0}, {0, 0, 0}},
        {{3, 0, 4}, {0.6f, 0, 0.8f}},
        {{0, -2, 0}, {0, -1, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.a.X << "," << c.a.Y << "," << c.a.Z);
        Vector3 by_value = {9, 9, 9}, out = {9, 9, 9};
        Three().Normalize(&by_value, c.a);
        Three().Normalize_Out(c.a, &out);
        Vector3 in_place = c.a;
        Three().Normalize_Out(in_place, &in_place);
        for (const Vector3& seen : {by_value, out, in_place}) {
            EXPECT_FLOAT_EQ(seen.X, c.wanted.X);
            EXPECT_FLOAT_EQ(seen.Y, c.wanted.Y);
            EXPECT_FLOAT_EQ(seen.Z, c.wanted.Z);
        }
    }
}

TEST_F(VectorMath, dot_sums_the_component_products) {
    const Vector3 a = {1, 2, 3}, b = {4, 5, 6};
    EXPECT_EQ(Three().Dot(a, b), 32.0f);
    float out = -1;
    Raw_Slot(&Three(), 17)(&Three(), &a, &b, &out);
    EXPECT_EQ(out, 32.0f);
}

TEST_F(VectorMath, product_difference_is_the_cross_product) {
    const struct {
        Vector3 a, b, wanted;
    } cases[] = {
        {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}},
        {{0, 1, 0}, {0, 0, 1}, {1, 0, 0}},
        {{1, 2, 3}, {4, 5, 6}, {-3, 6, -3}},
        {{2, 2, 2}, {-1, -1, -1}, {0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.a.X << "," << c.a.Y << "," << c.a.Z);
        Vector3 by_value;
        EXPECT_TRUE(Same_Vector(*Three().Product_Difference(&by_value, c.a, c.b), c.wanted));
        Vector3 in_a = c.a, in_b = c.b;
        Raw_Slot(&Three(), 13)(&Three(), &in_a, &c.b, &in_a);
        Raw_Slot(&Three(), 13)(&Three(), &c.a, &in_b, &in_b);
        EXPECT_TRUE(Same_Vector(in_a, c.wanted)) << "out is a";
        EXPECT_TRUE(Same_Vector(in_b, c.wanted)) << "out is b";
    }
}

// Records a call of slot 6 and answers a fixed vector.
void THISCALL Recording_Scale_Out(void*, const void*, const void* s, void* out) {
    const Vector4 marker = {*static_cast<const float*>(s), 0, 0, -1};
    std::memcpy(out, &marker, sizeof marker);
}

TEST_F(VectorMath, by_value_forms_of_the_packed_table_go_through_its_packed_slots) {
    // The packed table inherits the by-value slots and replaces the out slots.
    for (int slot = 0; slot < 12; ++slot) {
        SCOPED_TRACE(slot);
        const bool replaced =
            slot == 1 || slot == 3 || slot == 6 || slot == 7 || slot == 10 || slot == 11;
        EXPECT_EQ(Table_Of(&Packed())[slot] != Table_Of(&Plain())[slot], replaced);
    }
    // A by-value slot calls the out slot of the object's own table, whatever stands there.
    // The copy keeps the two words before the slots (offset and type), as a table has them.
    const void* table[2 + 12];
    std::memcpy(table, Table_Of(&Packed()) - 2, sizeof table);
    table[2 + 6] = Bit_Cast<const void*>(&Recording_Scale_Out);
    const void* const* object = table + 2;
    _Vector4MathFunctions& patched = *reinterpret_cast<_Vector4MathFunctions*>(&object);
    Vector4 seen;
    patched.Scale(&seen, Vector4{1, 2, 3, 4}, 5.0f);
    EXPECT_TRUE(Same_Vector(seen, Vector4{5, 0, 0, -1}));
}

} // namespace
