// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/KelText.h"

#include <gtest/gtest.h>

#include "base/FileUtils.h"
#include "base/KelErrors.h"

using kelvo::TryStrToInt;

// Integers a file may hold, and what must fall back to a default rather than be half-read.
TEST(KelText, IntegerSyntax) {
    for (const auto& [text, value] : {std::pair<const char*, int>{" 12", 12},
                                      {"-5", -5},
                                      {"+7", 7},
                                      {"$1F", 31},
                                      {"0x1f", 31},
                                      {"X10", 16},
                                      {"2147483647", 2147483647},
                                      {"-2147483648", -2147483647 - 1}})
        EXPECT_EQ(kelvo::TryStrToInt(text), value) << text;
    for (const char* bad : {"", " ", "12abc", "1.5", "12 ", "2147483648", "-2147483649", "$", "0x",
                            "-", "five", "99999999999999999999"})
        EXPECT_FALSE(kelvo::TryStrToInt(bad).has_value()) << bad;
    try {
        kelvo::StrToInt("five");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'five' ist kein gültiger Integerwert"); // the text users see
    }
}

// Case folding touches A-Z only: UTF-8 bytes must survive, so positions agree.
TEST(KelText, FoldsOnlyAsciiLetters) {
    EXPECT_EQ(kelvo::LowerAZ("ÄBCZ-Ü"), "Äbcz-Ü");
    EXPECT_EQ(kelvo::CompareTextAZ("abc", "ABC"), 0);
    EXPECT_LT(kelvo::CompareTextAZ("ab", "ABC"), 0);
    EXPECT_LT(kelvo::CompareTextAZ("Z", "ä"), 0); // bytes above 127 sort after ASCII
    EXPECT_GT(kelvo::CompareTextAZ("_", "a"), 0); // '_' (95) is above 'A' (65)
}

// A path whose ".." climbs out of the output folder must be refused by the check itself.
TEST(FileUtils, IsInsideFolderRefusesClimbingOut) {
    for (const char* inside : {"/out/a.jpg", "/out/a/../b.jpg", "/out/./a/b", "/out/", "/out/..x"})
        EXPECT_TRUE(kelvo::IsInsideFolder(inside, "/out/")) << inside;
    for (const char* outside : {"/out/../x", "/out/a/../../x", "/out/..", "/out/../out2/a",
                                "/outx/a", "/out/a/b/../../../out2", "/x", "out/a", "../out/a"})
        EXPECT_FALSE(kelvo::IsInsideFolder(outside, "/out/")) << outside;
    EXPECT_FALSE(kelvo::IsInsideFolder("out/../../x", "out/"));
}
