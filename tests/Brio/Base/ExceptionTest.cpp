#include <Brio/Base/Exception.h>

#include <gtest/gtest.h>

#include <exception>

using Brio::Exception;
using Brio::Status;

TEST(ExceptionTest, WhatIsTheUtf8FormOfTheWideMessage) {
    try {
        throw Exception(L"Datei \u00FCberschrieben \U0001F4C1");
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "Datei \xC3\xBC"
                               "berschrieben \xF0\x9F\x93\x81");
        const auto* brio = dynamic_cast<const Exception*>(&e);
        ASSERT_NE(brio, nullptr);
        EXPECT_EQ(brio->message(), L"Datei \u00FCberschrieben \U0001F4C1");
        EXPECT_FALSE(brio->status().has_value());
    }
}

TEST(ExceptionTest, CarriesTheStatusItWasBuiltFrom) {
    const Exception fromStatus(Status::error(5, L"bad segment"));
    ASSERT_TRUE(fromStatus.status().has_value());
    EXPECT_EQ(fromStatus.status()->code(), 5);
    EXPECT_EQ(fromStatus.message(), L"bad segment");
    EXPECT_STREQ(fromStatus.what(), "bad segment");

    const Exception withBoth(L"loading failed", Status::error(6, L"zip error"));
    EXPECT_EQ(withBoth.message(), L"loading failed");
    EXPECT_EQ(withBoth.status()->message(), L"zip error");
}
