#include "DataModelTestSupport.h"

#include <Brio/DataModel/ValueMetaType.h>

using namespace DataModelTest;

namespace {

/// Reads `text` into a copy of `start`; answers whether it was accepted and checks that a
/// refused text leaves the value alone.
template <class T> bool accepts(const char* text, T start = T()) {
    T value = start;
    const bool ok = valueMetaType<T>()->fromText(text, &value);
    if (!ok) {
        EXPECT_TRUE(value == start) << "refused \"" << text << "\" but changed the value";
    }
    return ok;
}

template <class T> T roundTrip(const T& value) {
    const std::string text = valueMetaType<T>()->toText(&value);
    T back{};
    EXPECT_TRUE(valueMetaType<T>()->fromText(text, &back)) << text;
    return back;
}

} // namespace

TEST(ValueMetaTypeTest, MalformedTextsAreRefused) {
    EXPECT_FALSE(accepts<bool>("2"));
    EXPECT_FALSE(accepts<bool>("true"));
    EXPECT_TRUE(accepts<bool>("1"));
    EXPECT_FALSE(accepts<std::int32_t>("1.5", 7));
    EXPECT_FALSE(accepts<std::int32_t>("2147483648", 7)) << "out of range";
    EXPECT_FALSE(accepts<std::int32_t>("", 7));
    EXPECT_FALSE(accepts<std::int32_t>("1 2", 7));
    EXPECT_FALSE(accepts<std::uint32_t>("-1", 7u));
    EXPECT_FALSE(accepts<std::uint64_t>("18446744073709551616", 7ull));
    EXPECT_FALSE(accepts<double>("1e", 3.0));
    EXPECT_FALSE(accepts<double>("0x10", 3.0));
    EXPECT_FALSE(accepts<Point3f>("1 2", Point3f(4, 5, 6)));
    EXPECT_FALSE(accepts<Point3f>("1 2 3 4", Point3f(4, 5, 6)));
    EXPECT_TRUE(accepts<Point3f>(" 1\t2\n3 "));
    EXPECT_FALSE(accepts<Color>("1 1 1", Color(0.5f, 0.5f, 0.5f)));
    EXPECT_FALSE(accepts<std::vector<Point3f>>("1 2 3 4", {Point3f(9, 9, 9)})) << "not whole points";
    EXPECT_TRUE(accepts<std::vector<Point3f>>("", {Point3f(9, 9, 9)}));
    EXPECT_FALSE(accepts<std::vector<std::int32_t>>("1 2 x", {5}));
    EXPECT_FALSE(accepts<std::wstring>("a\\q", L"keep"));
    EXPECT_FALSE(accepts<std::wstring>("a\\x4", L"keep"));
    EXPECT_FALSE(accepts<std::wstring>("a\\", L"keep"));
}

TEST(ValueMetaTypeTest, ValuesReadBackExactly) {
    EXPECT_EQ(roundTrip(std::numeric_limits<std::int64_t>::min()), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(roundTrip(std::numeric_limits<float>::denorm_min()), std::numeric_limits<float>::denorm_min());
    EXPECT_EQ(roundTrip(0.1f + 0.2f), 0.1f + 0.2f);
    EXPECT_EQ(roundTrip(std::numeric_limits<double>::infinity()), std::numeric_limits<double>::infinity());
    EXPECT_TRUE(std::isnan(roundTrip(std::numeric_limits<double>::quiet_NaN())));
    const std::wstring text = L"\\x41 is not A\r\n\x01\x7f end ";
    EXPECT_EQ(roundTrip(text), text);
    const std::wstring escaped = L"\\";
    EXPECT_EQ(valueMetaType<std::wstring>()->toText(&escaped), "\\\\");
    const std::vector<Float2> uvs = {Float2(0.5f, 1), Float2(-0.0f, 1e-45f)};
    EXPECT_EQ(roundTrip(uvs), uvs);
    EXPECT_STREQ(valueMetaType<std::vector<Float2>>()->name(), "Float2[]");
}

TEST(ValueMetaTypeTest, ReferenceListsOnlyTakeEntitiesOfTheirClass) {
    class Other : public Entity {
    public:
        Other() : Entity(nullptr) {}
    };
    std::vector<StrongRef<Sample>> samples;
    const auto* type =
        dynamic_cast<const EntityReferenceListMetaType*>(valueMetaType<std::vector<StrongRef<Sample>>>());
    ASSERT_NE(type, nullptr);
    StrongRef<Segment> segment = Segment::makeStandalone(L"S", true);
    StrongRef<Sample> sample = Sample::make(segment.getTarget());
    StrongRef<Other> other(new Other);
    EXPECT_TRUE(type->append(&samples, sample.getTarget()));
    EXPECT_FALSE(type->append(&samples, other.getTarget()));
    EXPECT_TRUE(type->append(&samples, nullptr));
    ASSERT_EQ(type->count(&samples), 2u);
    EXPECT_EQ(type->at(&samples, 0), sample.getTarget());
    EXPECT_EQ(type->at(&samples, 1), nullptr);
    EXPECT_EQ(type->at(&samples, 2), nullptr);
    type->clear(&samples);
    EXPECT_TRUE(samples.empty());
}
