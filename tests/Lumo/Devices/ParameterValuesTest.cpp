#include "DeviceTestSupport.h"

#include <Lumo/Devices/ParameterValues.h>
#include <Lumo/Devices/TextureInstance.h>
#include <Lumo/Objects/AutoPtr.h>

#include <memory>

using namespace Lumo::Devices;
using namespace Lumo::Objects;
using LumoDevicesTest::LiveObjects;

TEST(ParameterValuesTest, ValuesAreKeptByIndexAndType) {
    LiveObjects live;
    ParameterValues v;
    EXPECT_EQ(v.Count(), 0);
    EXPECT_TRUE(v.SetFloat(0, 0.5f));
    EXPECT_TRUE(v.SetFloat3(3, vec3<float>(1, 2, 3)));
    EXPECT_TRUE(v.SetFloat4(1, vec4<float>(0.1f, 0.2f, 0.3f, 0.4f)));
    EXPECT_TRUE(v.SetFloat2(2, vec2<float>(7, 8)));
    EXPECT_TRUE(v.SetInt(4, -12));
    EXPECT_TRUE(v.SetBool(5, true));
    const auto m = mat4<float>::Translation(vec3<float>(1, 2, 3)) * mat4<float>::Scale(2.0f);
    EXPECT_TRUE(v.SetMatrix(6, m));

    EXPECT_EQ(v.Count(), 7);
    EXPECT_EQ(v.GetFloat(0), 0.5f);
    EXPECT_EQ(v.GetFloat4(1), vec4<float>(0.1f, 0.2f, 0.3f, 0.4f));
    EXPECT_EQ(v.GetFloat2(2), vec2<float>(7, 8));
    EXPECT_EQ(v.GetFloat3(3), vec3<float>(1, 2, 3));
    EXPECT_EQ(v.GetInt(4), -12);
    EXPECT_TRUE(v.GetBool(5));
    EXPECT_TRUE(v.GetMatrix(6) == m);
    EXPECT_EQ(v.Type(3), eParamFloat3);
    EXPECT_EQ(v.Type(5), eParamInt);

    // Overwriting in place keeps the other slots' values.
    EXPECT_TRUE(v.SetFloat3(3, vec3<float>(4, 5, 6)));
    EXPECT_EQ(v.GetFloat3(3), vec3<float>(4, 5, 6));
    EXPECT_EQ(v.GetFloat4(1), vec4<float>(0.1f, 0.2f, 0.3f, 0.4f));
    EXPECT_TRUE(v.GetMatrix(6) == m);

    // A gap left between slots holds nothing.
    EXPECT_TRUE(v.SetFloat(9, 1.0f));
    EXPECT_FALSE(v.Has(8));
    EXPECT_EQ(v.Type(8), eParamNone);
}

TEST(ParameterValuesTest, WrongTypeOrBadIndexChangesNothing) {
    LiveObjects live;
    ParameterValues v;
    v.SetFloat(0, 0.25f);
    v.SetFloat3(1, vec3<float>(1, 2, 3));
    const ParameterValues before = v;
    const auto version = v.Version();

    EXPECT_FALSE(v.SetInt(0, 3));
    EXPECT_FALSE(v.SetFloat4(1, vec4<float>(9, 9, 9, 9)));
    EXPECT_FALSE(v.SetFloat(1, 9.0f));
    EXPECT_FALSE(v.SetFloat(-1, 9.0f));
    EXPECT_FALSE(v.SetFloat(ParameterValues::kMaxParameters, 9.0f));
    EXPECT_FALSE(v.SetTexture(0, nullptr));
    EXPECT_TRUE(v == before);
    EXPECT_EQ(v.Version(), version);

    // Reads of the wrong type or a bad index answer the fallback.
    EXPECT_EQ(v.GetInt(0, 42), 42);
    EXPECT_EQ(v.GetFloat(1, -1.0f), -1.0f);
    EXPECT_EQ(v.GetFloat(-5, 2.0f), 2.0f);
    EXPECT_EQ(v.GetFloat3(100), vec3<float>());
    EXPECT_EQ(v.GetTexture(0), nullptr);
    EXPECT_TRUE(v.GetMatrix(1).IsIdentity());

    // With the layout locked no slot is added, but existing ones still take values.
    v.LockLayout();
    EXPECT_FALSE(v.SetFloat(2, 1.0f));
    EXPECT_EQ(v.Count(), 2);
    EXPECT_TRUE(v.SetFloat(0, 0.75f));
    EXPECT_GT(v.Version(), version);
}

TEST(ParameterValuesTest, TexturesAreCountedAndCopiesAreIndependent) {
    LiveObjects live;
    AutoPtr<TextureInstance> t1(TextureInstance::Make(2, 2));
    AutoPtr<TextureInstance> t2(TextureInstance::Make(1, 1));
    {
        ParameterValues v;
        EXPECT_TRUE(v.SetTexture(0, t1));
        EXPECT_EQ(t1->RefCount(), 2);
        EXPECT_EQ(v.GetTexture(0), t1.get());
        v.SetFloat(1, 1.0f);

        ParameterValues copy = v;
        EXPECT_EQ(t1->RefCount(), 3);
        EXPECT_TRUE(copy == v);
        copy.SetTexture(0, t2);
        copy.SetFloat(1, 2.0f);
        EXPECT_FALSE(copy == v);
        EXPECT_EQ(v.GetTexture(0), t1.get());
        EXPECT_EQ(v.GetFloat(1), 1.0f);
        EXPECT_EQ(t1->RefCount(), 2);

        std::unique_ptr<ParameterValues> clone(v.Clone());
        EXPECT_TRUE(*clone == v);
        clone->SetTexture(0, nullptr);
        EXPECT_EQ(clone->GetTexture(0), nullptr);
        EXPECT_TRUE(clone->Has(0));

        copy = v;
        EXPECT_TRUE(copy == v);
        EXPECT_EQ(t2->RefCount(), 1);
    }
    EXPECT_EQ(t1->RefCount(), 1);
    EXPECT_EQ(t2->RefCount(), 1);
}

TEST(ParameterValuesTest, EqualityNeedsSameTypesAndValues) {
    ParameterValues a, b;
    EXPECT_TRUE(a == b);
    a.SetFloat(0, 1.0f);
    b.SetInt(0, 1);
    EXPECT_FALSE(a == b);
    ParameterValues c;
    c.SetFloat(0, 1.0f);
    EXPECT_TRUE(a == c);
    c.SetFloat(1, 0.0f);
    EXPECT_FALSE(a == c); // an extra slot counts, even holding zero
}

TEST(ParameterValuesTest, CopyFromTakesWhatFits) {
    ParameterValues target;
    target.Declare(0, eParamFloat4);
    target.Declare(1, eParamFloat);
    target.Declare(2, eParamInt);
    target.LockLayout();

    ParameterValues source;
    source.SetFloat4(0, vec4<float>(1, 0, 0, 1));
    source.SetInt(1, 5); // wrong type for slot 1: skipped
    source.SetInt(2, 7);
    source.SetFloat(3, 1); // no slot 3 in a locked layout: skipped
    EXPECT_EQ(target.CopyFrom(source), 2);
    EXPECT_EQ(target.GetFloat4(0), vec4<float>(1, 0, 0, 1));
    EXPECT_EQ(target.GetFloat(1), 0.0f);
    EXPECT_EQ(target.GetInt(2), 7);
    EXPECT_EQ(target.Count(), 3);
    EXPECT_EQ(target.CopyFrom(target), 0);
}
