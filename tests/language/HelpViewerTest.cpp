// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "language/THelpManager.h"
#include "language/TTamHtmlHelpViewer.h"
#include "language/TTamWinHelpTester.h"

#include <QString>
#include <QVariant>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

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
    const struct {
        const char* Topic;
        const char* Page;
    } rows[] = {{"layout", "layout.htm"},
                {"layout.HTML", "layout.HTML"},
                {"layout.htm", "layout.htm"},
                {"layout.txt", "layout.txt.htm"}};
    for (const auto& row : rows) {
        HelpSystem help;
        const QString file = help.HelpFile("Help.chm");
        EXPECT_TRUE(help.Manager.ShowTopic(QString::fromLatin1(row.Topic)));
        ASSERT_EQ(help.Calls.size(), 1u) << row.Topic;
        EXPECT_EQ(help.Calls[0].File, file + "::/" + row.Page);
        EXPECT_EQ(help.Calls[0].Cmd, Command::DisplayTopic);
    }
}

// The keyword shown in the index must lose the viewer's name and the blanks around it.
TEST(TTamHtmlHelpViewer, ShowHelpShowsTheIndexAtTheTrimmedKeyword) {
    HelpSystem help;
    help.HelpFile("Help.chm");
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
}

// The selector must pick this viewer's entry by its exact name, and fall back to the first.
TEST(TTamHtmlHelpViewer, SelectKeywordFindsTheViewersEntry) {
    const struct {
        const char* Name;
        QStringList Keywords;
        int Index;
    } rows[] = {{"second entry", {"Other: a", "TamHtmlHelp: b"}, 1},
                {"first entry", {"TamHtmlHelp: b", "Other: a"}, 0},
                {"no match", {"Other: a", "More: c"}, 0},
                {"letter case counts", {"Other: a", "tamhtmlhelp: b"}, 0},
                {"entry without colon", {"Other: a", "TamHtmlHelp"}, 1}};
    TTamHtmlHelpViewer viewer;
    for (const auto& row : rows)
        EXPECT_EQ(viewer.SelectKeyword(row.Keywords), row.Index) << row.Name;
    EXPECT_EQ(viewer.TableOfContents({"Other", "TamHtmlHelp"}), 1);
    EXPECT_EQ(viewer.TableOfContents({"Other"}), -1);
}

// Only an existing file named .chm (in any case) may be shown; anything else shows nothing.
TEST(TTamHtmlHelpViewer, OnlyAnExistingChmFileIsUsable) {
    const struct {
        const char* Name;
        bool Usable;
    } rows[] = {{"Help.chm", true}, {"HELP.CHM", true}, {"Help.hlp", false}, {"Help", false}};
    for (const auto& row : rows) {
        HelpSystem help;
        help.HelpFile(row.Name);
        EXPECT_EQ(help.Viewer->UnderstandsKeyword("x"), row.Usable ? 1 : 0) << row.Name;
        EXPECT_EQ(help.Viewer->UnderstandsTopic("x"), row.Usable) << row.Name;
        EXPECT_EQ(help.Manager.ShowTableOfContents(), true) << row.Name;
        help.Manager.ShowHelpContext(2000);
        help.Manager.ShowTopic("layout");
        help.Manager.ShowKeyword("Layout");
        EXPECT_EQ(help.Calls.size(), row.Usable ? 4u : 0u) << row.Name;
    }

    // A help file that does not exist is no help file at all.
    HelpSystem missing;
    missing.Manager.SetHelpFile(QString::fromStdString(missing.Dir.dir()) + "Gone.chm");
    missing.Manager.ShowTableOfContents();
    missing.Manager.ShowHelpContext(2000);
    EXPECT_TRUE(missing.Calls.empty());
}

// F1 must reach the viewer with the window's context and the window that asked as owner.
TEST(TTamHtmlHelpViewer, HelpContextReachesTheViewerWithItsOwner) {
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
}

// Shutting down must close the help windows and leave the viewer without a manager; a viewer
// without an HTML Help procedure must stay silent.
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

} // namespace
