// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "language/TChmArchive.h"

#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include "support/TempDir.h"

namespace {

QString HelpFilePath(const char* language) {
    return QStringLiteral(KELVO_RUNTIME_DIR "/Kelvo_%1.chm").arg(QLatin1String(language));
}

class BuiltHelpFile : public ::testing::TestWithParam<const char*> {};

// Each built help file must open, its contents, index and help contexts must lead to pages it
// holds.
TEST_P(BuiltHelpFile, ContentsAndIndexLeadToPagesInTheArchive) {
    TChmArchive chm;
    ASSERT_TRUE(chm.Open(HelpFilePath(GetParam())));
    EXPECT_EQ(chm.DefaultTopic(), "/start.htm");
    const auto contents = chm.Contents();
    const auto index = chm.Index();
    ASSERT_GE(contents.size(), 7);
    ASSERT_GE(index.size(), 15);
    int pages = 0;
    for (const auto& entry : contents + index) {
        if (entry.Local.isEmpty())
            continue; // a heading
        ++pages;
        EXPECT_FALSE(chm.ResolvePage(entry.Local).isEmpty())
            << entry.Name.toStdString() << " -> " << entry.Local.toStdString();
    }
    EXPECT_GE(pages, 20);
    EXPECT_EQ(contents[0].Level, 0);
    EXPECT_EQ(contents[2].Level, 1) << "the dialogs stand below a heading";

    // The contexts of F1 and the Help buttons lead to the main window's and the layout dialog's
    // pages, without the build folder that the compiler stores in the context map.
    EXPECT_EQ(chm.ContextPage(2000), "/mainwindow.htm");
    EXPECT_EQ(chm.ContextPage(2100), "/layoutdialog.htm");
    EXPECT_TRUE(chm.ContextPage(2200).isEmpty());
}

// A page linking to a page or picture the archive lacks would show a broken help page.
TEST_P(BuiltHelpFile, EveryLinkOfEveryPageResolves) {
    TChmArchive chm;
    ASSERT_TRUE(chm.Open(HelpFilePath(GetParam())));
    static const QRegularExpression link(
        QStringLiteral(R"re(<(?:a|link|img)\b[^>]*?\b(?:href|src)="([^"#:]+)[^"]*")re"));
    int links = 0;
    for (const QString& object : chm.Objects()) {
        if (!object.endsWith(QLatin1String(".htm")))
            continue;
        const QString page = QString::fromUtf8(chm.Read(object).value_or(""));
        EXPECT_TRUE(page.contains(QLatin1String("<h1>"))) << object.toStdString();
        for (auto it = link.globalMatch(page); it.hasNext(); ++links) {
            const QString target = it.next().captured(1);
            EXPECT_TRUE(chm.Contains(target))
                << object.toStdString() << " links to " << target.toStdString();
        }
    }
    EXPECT_GE(links, 15);
}

INSTANTIATE_TEST_SUITE_P(Languages, BuiltHelpFile, ::testing::Values("EN", "DE"));

// Sitemap entries must keep their nesting, decode character references, and keep headings
// without a page.
TEST(TChmArchive, ParseSitemapKeepsLevelsAndDecodesNames) {
    const QByteArray html = R"(<HTML><BODY><OBJECT type="text/site properties"></OBJECT>
<UL>
  <LI><OBJECT type="text/sitemap"><param name="Name" value="Erste Schritte"><param name="Local" value="start.htm"></OBJECT>
  <LI><OBJECT type="text/sitemap"><param name="Name" value="Fenster &amp; Dialoge"></OBJECT>
  <UL>
    <LI><object TYPE='text/sitemap'><param name=Name value=Men&uuml;s><param name="Local" value="a/menus.htm#top"><param name="Local" value="other.htm"></object>
  </UL>
  <LI><OBJECT type="text/sitemap"><param name="Name" value="Qualit&#228;t"><param name="Local" value="q.htm"></OBJECT>
</UL></BODY></HTML>)";
    QStringList entries;
    for (const auto& entry : TChmArchive::ParseSitemap(html))
        entries << QStringLiteral("%1 %2 %3").arg(entry.Level).arg(entry.Name, entry.Local);
    EXPECT_EQ(entries.join('|').toStdString(),
              "0 Erste Schritte start.htm|0 Fenster & Dialoge |1 Menüs a/menus.htm#top|"
              "0 Qualität q.htm");
}

// A file that is empty (a failed compile) or no help file at all must not open.
TEST(TChmArchive, RefusesFilesThatAreNoHelpFiles) {
    TempDir dir;
    TChmArchive chm;
    EXPECT_FALSE(chm.Open(QString::fromStdString(dir.write("Empty.chm", ""))));
    EXPECT_FALSE(chm.Open(QString::fromStdString(dir.write("Text.chm", "just some text"))));
    EXPECT_FALSE(chm.Open(QString::fromStdString(dir.dir()) + "Missing.chm"));
    EXPECT_FALSE(chm.IsOpen());
    EXPECT_FALSE(chm.Read("/start.htm").has_value());
}

// Page names as HTML Help writes them (file::/page#anchor, backslashes) must find the page,
// while system objects whose names start with # stay reachable.
TEST(TChmArchive, ResolvesPageNamesInTheirDifferentForms) {
    TChmArchive chm;
    ASSERT_TRUE(chm.Open(HelpFilePath("EN")));
    EXPECT_EQ(chm.ResolvePage("/x/Kelvo_EN.chm::/mainwindow.htm#grid"), "/mainwindow.htm");
    EXPECT_EQ(chm.ResolvePage("C:\\build\\help\\cli.htm"), "/cli.htm");
    EXPECT_TRUE(chm.ResolvePage("/nowhere/missing.htm").isEmpty());
    EXPECT_TRUE(chm.Read("/#SYSTEM").has_value());
}

} // namespace
