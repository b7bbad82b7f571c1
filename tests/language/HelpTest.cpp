// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <QRegularExpression>
#include <QString>
#include <QVariant>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "language/TChmArchive.h"
#include "language/THelpManager.h"
#include "language/TTamHtmlHelpViewer.h"
#include "language/TTamWinHelpTester.h"
#include "support/TempDir.h"

namespace {

using Command = TTamHtmlHelpViewer::THtmlHelpCommand;

struct Call {
    QObject* Owner;
    QString File;
    Command Cmd;
    QVariant Data;
};

// A help system as the program sets it up, with the HTML Help calls recorded instead of shown.
struct HelpSystem {
    // Calls before Manager: the manager's end still reports the closing of the help windows.
    TempDir Dir;
    std::vector<Call> Calls;
    THelpManager Manager;
    std::shared_ptr<TTamHtmlHelpViewer> Viewer = std::make_shared<TTamHtmlHelpViewer>();

    HelpSystem() {
        Viewer->SetHtmlHelpProc(
            [this](QObject* owner, const QString& file, Command command, const QVariant& data) {
                Calls.push_back({owner, file, command, data});
            });
        Manager.RegisterViewer(Viewer);
        Manager.SetHelpSelector(Viewer);
        Manager.SetWinHelpTester(std::make_shared<TTamWinHelpTester>());
    }
    QString HelpFile(const char* name) {
        const QString file = QString::fromStdString(Dir.write(name, "not looked into"));
        Manager.SetHelpFile(file);
        return file;
    }
};

// A topic must name a page inside the help file, with .htm added only where no page extension is.
TEST(TTamHtmlHelpViewer, DisplayTopicNamesThePageInsideTheHelpFile) {
    for (const auto& [topic, page] : {std::pair{"layout", "layout.htm"},
                                      {"layout.HTML", "layout.HTML"},
                                      {"layout.htm", "layout.htm"},
                                      {"layout.txt", "layout.txt.htm"}}) {
        HelpSystem help;
        const QString file = help.HelpFile("Help.chm");
        EXPECT_TRUE(help.Manager.ShowTopic(QString::fromLatin1(topic)));
        ASSERT_EQ(help.Calls.size(), 1u) << topic;
        EXPECT_EQ(help.Calls[0].File, file + "::/" + page);
        EXPECT_EQ(help.Calls[0].Cmd, Command::DisplayTopic);
    }
}

// F1 must reach the viewer with the window's context and the window that asked as owner; the
// keyword shown in the index must lose the viewer's name and the blanks around it.
TEST(TTamHtmlHelpViewer, ContextAndKeywordReachTheViewer) {
    HelpSystem help;
    const QString file = help.HelpFile("Kelvo_EN.chm");
    QObject window;
    EXPECT_TRUE(help.Manager.ShowHelpContext(2100, &window));
    ASSERT_EQ(help.Calls.size(), 1u);
    EXPECT_EQ(help.Calls[0].Owner, &window);
    EXPECT_EQ(help.Calls[0].File, file);
    EXPECT_EQ(help.Calls[0].Cmd, Command::HelpContext);
    EXPECT_EQ(help.Calls[0].Data.toInt(), 2100);
    EXPECT_EQ(help.Manager.GetHandle(), nullptr) << "the owner must not outlive the request";
    // The context question looks at the name given with the request only.
    EXPECT_TRUE(help.Viewer->UnderstandsContext(2000, "elsewhere/Other.CHM"));
    EXPECT_FALSE(help.Viewer->UnderstandsContext(2000, "Kelvo.hlp"));
    help.Calls.clear();
    help.Viewer->ShowHelp("TamHtmlHelp:  Picture list ");
    help.Viewer->ShowHelp("\tLayout\n");
    ASSERT_EQ(help.Calls.size(), 2u);
    EXPECT_EQ(help.Calls[0].Cmd, Command::DisplayIndex);
    EXPECT_EQ(help.Calls[0].Data.toString(), "Picture list");
    EXPECT_EQ(help.Calls[1].Data.toString(), "Layout");
    // Through the manager: the keyword comes back as the viewer's own help string.
    EXPECT_TRUE(help.Manager.ShowKeyword("Slides"));
    EXPECT_EQ(help.Calls.back().Data.toString(), "Slides");
    EXPECT_EQ(help.Viewer->GetHelpStrings("Layout"), QStringList{"TamHtmlHelp: Layout"});
    // The selector picks this viewer's entry by its exact name, and falls back to the first.
    TTamHtmlHelpViewer viewer;
    EXPECT_EQ(viewer.SelectKeyword({"Other: a", "TamHtmlHelp: b"}), 1);
    EXPECT_EQ(viewer.SelectKeyword({"TamHtmlHelp: b", "Other: a"}), 0);
    EXPECT_EQ(viewer.SelectKeyword({"Other: a", "More: c"}), 0) << "no match";
    EXPECT_EQ(viewer.SelectKeyword({"Other: a", "tamhtmlhelp: b"}), 0) << "letter case counts";
    EXPECT_EQ(viewer.SelectKeyword({"Other: a", "TamHtmlHelp"}), 1) << "entry without colon";
    EXPECT_EQ(viewer.TableOfContents({"Other", "TamHtmlHelp"}), 1);
    EXPECT_EQ(viewer.TableOfContents({"Other"}), -1);
}

// Only an existing file named .chm (in any case) may be shown; anything else shows nothing.
TEST(TTamHtmlHelpViewer, OnlyAnExistingChmFileIsUsable) {
    for (const auto& [name, usable] : {std::pair{"Help.chm", true},
                                       {"HELP.CHM", true},
                                       {"Help.hlp", false},
                                       {"Help", false},
                                       {"", false}}) {
        HelpSystem help;
        if (*name)
            help.HelpFile(name);
        else // a help file that does not exist is no help file at all
            help.Manager.SetHelpFile(QString::fromStdString(help.Dir.dir()) + "Gone.chm");
        EXPECT_EQ(help.Viewer->UnderstandsKeyword("x"), usable ? 1 : 0) << name;
        EXPECT_EQ(help.Viewer->UnderstandsTopic("x"), usable) << name;
        EXPECT_EQ(help.Manager.ShowTableOfContents(), true) << name;
        help.Manager.ShowHelpContext(2000);
        help.Manager.ShowTopic("layout");
        help.Manager.ShowKeyword("Layout");
        EXPECT_EQ(help.Calls.size(), usable ? 4u : 0u) << name;
    }
}

// Shutting down must close the help windows; a viewer without an HTML Help procedure is silent.
TEST(TTamHtmlHelpViewer, ShutDownClosesTheWindowsAndDropsTheManager) {
    auto help = std::make_unique<HelpSystem>();
    help->HelpFile("Help.chm");
    auto viewer = help->Viewer;
    std::vector<Call> calls;
    viewer->SetHtmlHelpProc([&calls](QObject* o, const QString& f, Command c, const QVariant& d) {
        calls.push_back({o, f, c, d});
    });
    help.reset(); // the manager goes, shutting its viewers down
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].Cmd, Command::CloseAll);
    EXPECT_TRUE(calls[0].File.isEmpty());
    EXPECT_EQ(viewer->HelpManager(), nullptr);
    TTamHtmlHelpViewer silent;
    silent.ShowTableOfContents();
    silent.SoftShutDown();
}

class BuiltHelpFile : public ::testing::TestWithParam<const char*> {};

// Each built help file opens; contents, index, contexts and every page's links lead to its pages.
TEST_P(BuiltHelpFile, ContentsIndexAndLinksLeadToPagesInTheArchive) {
    TChmArchive chm;
    ASSERT_TRUE(chm.Open(QStringLiteral(KELVO_RUNTIME_DIR "/Kelvo_%1.chm").arg(GetParam())));
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
    EXPECT_EQ(chm.ContextPage(2000), "/mainwindow.htm");
    EXPECT_EQ(chm.ContextPage(2100), "/layoutdialog.htm");
    EXPECT_TRUE(chm.ContextPage(2200).isEmpty());
    // Page names as HTML Help writes them (file::/page#anchor, backslashes) find the page.
    EXPECT_EQ(chm.ResolvePage("/x/Kelvo_EN.chm::/mainwindow.htm#grid"), "/mainwindow.htm");
    EXPECT_EQ(chm.ResolvePage("C:\\build\\help\\cli.htm"), "/cli.htm");
    EXPECT_TRUE(chm.ResolvePage("/nowhere/missing.htm").isEmpty());
    EXPECT_TRUE(chm.Read("/#SYSTEM").has_value()) << "system objects' names start with #";

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

// Sitemap entries must keep their nesting, decode character references, and keep headings.
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
TEST(TChmArchive, RefusesNonHelpFiles) {
    TempDir dir;
    TChmArchive chm;
    EXPECT_FALSE(chm.Open(QString::fromStdString(dir.write("Empty.chm", ""))));
    EXPECT_FALSE(chm.Open(QString::fromStdString(dir.write("Text.chm", "just some text"))));
    EXPECT_FALSE(chm.Open(QString::fromStdString(dir.dir()) + "Missing.chm"));
    EXPECT_FALSE(chm.IsOpen());
    EXPECT_FALSE(chm.Read("/start.htm").has_value());
}

} // namespace
