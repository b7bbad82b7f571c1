// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/THistory.h"

#include <gtest/gtest.h>

using Entries = std::vector<std::string>;

// Append keeps both orders and leaves the source alone; appending a history to itself must not
// read entries it is adding. (Add, Clear and the modified state are used by every model test.)
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
    layouts.Clear();
    EXPECT_FALSE(layouts.IsModified());
}
