// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/THistory.h"

#include <gtest/gtest.h>

using Entries = std::vector<std::string>;

// The modified state follows the log exactly; duplicates count, Clear resets.
TEST(History, ModifiedWhileNotEmpty) {
    THistory history;
    EXPECT_FALSE(history.IsModified());
    history.Add("SetTitle");
    history.Add("SetTitle");
    EXPECT_TRUE(history.IsModified());
    EXPECT_EQ(history.Items(), (Entries{"SetTitle", "SetTitle"}));
    history.Clear();
    EXPECT_FALSE(history.IsModified());
}

// Append keeps both orders and leaves the source alone; appending a history to itself must not
// read entries it is adding.
TEST(History, AppendKeepsOrder) {
    THistory project;
    THistory layouts;
    project.Append(layouts);
    EXPECT_FALSE(project.IsModified());

    project.Add("MovePicture");
    layouts.Add("SetColCount");
    layouts.Add("SetPageTitle");
    project.Append(layouts);
    EXPECT_EQ(project.Items(), (Entries{"MovePicture", "SetColCount", "SetPageTitle"}));
    EXPECT_EQ(layouts.Items(), (Entries{"SetColCount", "SetPageTitle"}));

    layouts.Append(layouts);
    EXPECT_EQ(layouts.Items(),
              (Entries{"SetColCount", "SetPageTitle", "SetColCount", "SetPageTitle"}));
}
