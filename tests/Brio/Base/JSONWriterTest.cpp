#include <Brio/Base/JSONWriter.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>

using Brio::Utility::JSONWriter;

TEST(JSONWriterTest, TopLevelTakesFieldsForTheCallerToWrap) {
    JSONWriter w;
    w.beginField("create");
    w.beginObject();
    w.beginField("12");
    w.beginObject();
    w.beginField("createType");
    w.write(2);
    w.endField();
    w.beginField(L"pending");
    w.write(0u);
    w.endField();
    w.endObject();
    w.endField();
    w.endObject();
    w.endField();
    w.beginField("update");
    w.beginObject();
    w.endObject();
    w.endField();
    EXPECT_TRUE(w.complete());
    EXPECT_EQ(w.text(), R"("create":{"12":{"createType":2,"pending":0}},"update":{})");
}

TEST(JSONWriterTest, ArraysAndNumbersAreCompact) {
    JSONWriter w;
    w.beginObject();
    w.beginField("data");
    w.beginArray();
    w.write(0.1f);
    w.write(-2.5);
    w.write(1e300);
    w.write(std::numeric_limits<long long>::min());
    w.write(std::numeric_limits<unsigned long long>::max());
    w.write(std::nan(""));
    w.write(std::numeric_limits<float>::infinity());
    w.beginArray();
    w.endArray();
    w.writeNull();
    w.endArray();
    w.endField();
    w.endObject();
    EXPECT_EQ(w.text(), R"({"data":[0.1,-2.5,1e+300,-9223372036854775808,18446744073709551615,null,null,[],null]})");
    EXPECT_TRUE(w.complete());
}

TEST(JSONWriterTest, StringsAreEscapedAndValidUtf8) {
    JSONWriter w;
    w.beginArray();
    w.write("quote\" back\\ slash/ \n\t\r\b\f");
    w.write(std::string("\x01\x1f", 2));
    w.write(L"K\u00fchler \u6C34 \U0001F600");
    w.write("bad \xff byte");
    w.write(static_cast<const char*>(nullptr));
    w.endArray();
    EXPECT_EQ(w.text(), "[\"quote\\\" back\\\\ slash/ \\n\\t\\r\\b\\f\",\"\\u0001\\u001f\","
                        "\"K\xc3\xbchler \xe6\xb0\xb4 \xf0\x9f\x98\x80\",\"bad \xef\xbf\xbd byte\",\"\"]");
}

TEST(JSONWriterTest, MisuseThrowsInsteadOfWritingBrokenText) {
    {
        JSONWriter w;
        w.beginObject();
        EXPECT_THROW(w.write(1), std::logic_error) << "a value in an object needs a field";
        EXPECT_THROW(w.endArray(), std::logic_error);
        w.beginField("a");
        EXPECT_THROW(w.endField(), std::logic_error) << "a field needs its value";
        w.write(1);
        EXPECT_THROW(w.write(2), std::logic_error) << "one value per field";
        EXPECT_THROW(w.endObject(), std::logic_error) << "the field is still open";
        w.endField();
        EXPECT_FALSE(w.complete());
        w.endObject();
        EXPECT_TRUE(w.complete());
        EXPECT_EQ(w.text(), R"({"a":1})") << "refused calls wrote nothing";
    }
    {
        JSONWriter w;
        w.beginArray();
        EXPECT_THROW(w.beginField("x"), std::logic_error);
        EXPECT_THROW(w.endObject(), std::logic_error);
        w.endArray();
        EXPECT_THROW(w.endArray(), std::logic_error) << "nothing left to close";
        EXPECT_THROW(w.endField(), std::logic_error);
        w.clear();
        EXPECT_EQ(w.text(), "");
        w.write(3);
        w.write("x");
        EXPECT_EQ(w.text(), R"(3,"x")") << "plain values at the top level";
    }
}
