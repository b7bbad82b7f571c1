// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/TKelPicture.h"

#include <ctime>
#include <filesystem>

#include <gtest/gtest.h>
#include <utime.h>

#include "base/KelErrors.h"
#include "imaging/TBM_Bitmap.h"
#include "model/THistory.h"
#include "model/TKelPictureList.h"
#include "model/TSXmlReader.h"
#include "support/GalleryFixture.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;
using namespace std::chrono;
using Entries = std::vector<std::string>;

namespace {

Entries Titles(const TKelPictureRefs& list) {
    Entries titles;
    for (const TKelPicture* p : list)
        titles.push_back(p->Title());
    return titles;
}

// A picture list recording into its own history, as the project's does.
struct RecordingList {
    RecordingList() { list.SetHistory(&history); }
    TKelPicture* Add(const std::string& title) {
        TKelPicture* p = list.CreatePicture();
        p->SetTitle(title);
        history.Clear();
        return p;
    }
    TKelPicture* AddFile(const std::string& file) {
        TKelPicture* p = list.CreatePicture();
        p->SetFileName(file);
        return p;
    }
    std::string Checks() const {
        std::string marks;
        for (const TKelPicture* p : list)
            marks += p->Checked() ? '1' : '0';
        return marks;
    }
    THistory history;
    TKelPictureList list;
};

void SetModificationTime(const std::string& file, std::time_t time) {
    const utimbuf times{time, time};
    ASSERT_EQ(::utime(file.c_str(), &times), 0);
}

} // namespace

// Title and date come from the file, rounded down to even seconds; none of it is recorded.
TEST(Picture, SetFileNameDerivesTitleDateAndCheck) {
    TempDir tmp;
    RecordingList r;
    for (const auto& [file, title] : {std::pair{"IMG_0001.JPG", "IMG_0001"},
                                      {"Beach.2004.jpg", "Beach.2004"},
                                      {".jpg", ""},
                                      {"noext", "noext"}})
        EXPECT_EQ(r.AddFile(tmp.write(file, "data"))->Title(), title) << file;
    std::tm local{};
    local.tm_year = 104, local.tm_mon = 6, local.tm_mday = 14; // 14 July 2004
    local.tm_hour = 15, local.tm_min = 30, local.tm_sec = 45, local.tm_isdst = -1;
    SetModificationTime(tmp.dir() + "noext", std::mktime(&local));
    r.list.GetPicture(3)->SetFileName(tmp.dir() + "noext");
    EXPECT_EQ(r.list.GetPicture(3)->Date(), local_days{2004y / July / 14} + 15h + 30min + 44s);

    r.AddFile(tmp.dir() + "gone.jpg");
    EXPECT_FALSE(r.AddFile(tmp.dir())->Exists());
    TKelPicture* titled = r.Add("Mine");
    titled->SetFileName(tmp.write("other.jpg", "x"));
    EXPECT_EQ(titled->Title(), "Mine");
    EXPECT_FALSE(r.history.IsModified());
    EXPECT_EQ(r.Checks(), "1111001");

    // UncheckMissing records one change per picture it really unchecks.
    r.Add(""); // no file at all
    fs::remove(tmp.dir() + "other.jpg");
    r.list.UncheckMissing();
    r.list.UncheckMissing();
    EXPECT_EQ(r.Checks(), "11110000");
    EXPECT_EQ(r.history.Items(), (Entries{"SetChecked", "SetChecked"}));
}

// Case counts as a change; a reference list removing a picture must not free it.
TEST(Picture, SettersRecordRealChangesAndAssignFilters) {
    RecordingList r;
    r.Add("a");
    TKelPicture* b = r.Add("Beach");
    TKelPicture* c = r.Add("c");
    b->SetTitle("Beach");
    b->SetComment("");
    b->SetChecked(true);
    b->SetTitle("beach");
    b->SetComment("c");
    b->SetChecked(false);
    c->SetSelected(true);
    EXPECT_EQ(r.history.Items(), (Entries{"SetTitle", "SetComment", "SetChecked"}));
    TKelPicture().SetTitle("x"); // no owner, no crash

    TKelPictureRefs refs;
    refs.Assign(r.list, false, true);
    EXPECT_EQ(Titles(refs), (Entries{"a", "c"}));
    refs.Assign(r.list, true, false);
    EXPECT_EQ(Titles(refs), (Entries{"c"}));
    EXPECT_EQ(r.list.SelectedCount(), 1);
    EXPECT_EQ(refs.Add(b), 1);
    refs.OrderByTitle();
    EXPECT_EQ(refs.RemovePicture(b), 0);
    EXPECT_EQ(b->Title(), "beach"); // still alive
    TKelPictureList other;
    other.CreatePicture();
    r.list.Assign(other, false, false);
    EXPECT_EQ(Titles(r.list), (Entries{"a", "beach", "c"}));
}

// Sorts are case-insensitive and stable; dates older first, paths compared without case.
TEST(PictureList, OrdersMovesAndRemoves) {
    TempDir tmp;
    RecordingList r;
    const std::time_t base = 1'100'000'000;
    for (const auto& [name, age, comment] : {std::tuple{"z/b.jpg", base + 10, "2"},
                                             {"Y/A.jpg", base + 20, ""},
                                             {"C/c.jpg", base, ""},
                                             {"x/B.jpg", base + 30, "1"}}) {
        const std::string file = tmp.write(name, "x");
        SetModificationTime(file, age);
        r.AddFile(file)->SetComment(comment);
    }
    r.history.Clear();
    r.list.OrderByTitle();
    EXPECT_EQ(Titles(r.list), (Entries{"A", "b", "B", "c"}));
    r.list.OrderByComment();
    EXPECT_EQ(Titles(r.list), (Entries{"A", "c", "B", "b"}));
    EXPECT_EQ(r.history.Items(), (Entries{"OrderByTitle", "OrderByComment"}));
    r.list.OrderByDate();
    EXPECT_EQ(Titles(r.list), (Entries{"c", "b", "A", "B"}));
    r.list.OrderByFileName();
    EXPECT_EQ(Titles(r.list), (Entries{"c", "B", "A", "b"})); // ".../x/B" before ".../Y/A"

    // A no-op move records nothing and a bad index is an error, not memory corruption.
    r.history.Clear();
    r.list.MovePicture(0, 2);
    EXPECT_EQ(Titles(r.list), (Entries{"B", "A", "c", "b"}));
    r.list.MovePicture(2, 0);
    r.list.MovePicture(1, 1);
    EXPECT_THROW(r.list.MovePicture(0, 4), EListError);
    EXPECT_THROW(r.list.MovePicture(-1, 0), EListError);
    TKelPicture stranger;
    EXPECT_EQ(r.list.RemovePicture(&stranger), -1);
    EXPECT_EQ(r.list.RemovePicture(r.list.GetPicture(0)), 0);
    EXPECT_EQ(r.history.Items(), (Entries{"MovePicture", "MovePicture", "RemovePicture"}));
    EXPECT_EQ(Titles(r.list), (Entries{"B", "A", "b"}));
    EXPECT_EQ(r.list.GetPicture(3), nullptr);
    EXPECT_EQ(r.list.GetPicture(-1), nullptr);
}

// Taking out and putting back, as undo does: the picture must survive, return to its place and
// report to its list again; a foreign order must not scramble or lose pictures.
TEST(PictureList, TakeInsertAndSetOrder) {
    RecordingList r;
    for (const char* title : {"a", "b", "c"})
        r.Add(title);
    TKelPicture* b = r.list.GetPicture(1);
    std::unique_ptr<TKelPicture> taken = r.list.TakePicture(b);
    ASSERT_EQ(taken.get(), b);
    EXPECT_EQ(r.list.TakePicture(b), nullptr);
    EXPECT_EQ(Titles(r.list), (Entries{"a", "c"}));
    EXPECT_THROW(r.list.InsertPicture(3, std::move(taken)), EListError);
    r.list.InsertPicture(1, std::move(taken));
    EXPECT_EQ(Titles(r.list), (Entries{"a", "b", "c"}));
    b->SetTitle("B");
    const std::vector<TKelPicture*> before(r.list.begin(), r.list.end());
    r.list.OrderByTitle();
    r.list.MovePicture(0, 2);
    r.list.SetOrder(before);
    EXPECT_EQ(Titles(r.list), (Entries{"a", "B", "c"}));
    EXPECT_THROW(r.list.SetOrder({before[0], before[0], before[2]}), EListError);
    EXPECT_THROW(r.list.SetOrder({before[0], before[1]}), EListError);
    EXPECT_EQ(Titles(r.list), (Entries{"a", "B", "c"}));
    EXPECT_EQ(r.history.Items(), (Entries{"RemovePicture", "InsertPicture", "SetTitle",
                                          "OrderByTitle", "MovePicture", "SetOrder"}));
}

// A missing file loads unchecked whatever the file says; loading records no changes.
TEST(PictureList, LoadStopsAtBrokenPicture) {
    TSXmlReader reader;
    reader.LoadFromString("<picture_infos><picture_info title=\"A\" checked=\"true\"><filename>"
                          "/nonexistent-kelvo/a.jpg</filename></picture_info><!-- note -->"
                          "<picture_info title=\"B\"/><picture_info title=\"C\"><filename>c.jpg"
                          "</filename></picture_info></picture_infos>");
    RecordingList r;
    r.Add("old");
    Entries notified;
    EXPECT_FALSE(
        r.list.LoadFromXml(reader.Root(), true, [&](TKelPictureList& sender, TKelPicture& picture) {
            EXPECT_EQ(&sender, &r.list);
            notified.push_back(picture.Title());
        }));
    EXPECT_EQ(Titles(r.list), (Entries{"A", "", ""}));
    EXPECT_EQ(r.Checks(), "011");
    EXPECT_EQ(notified, (Entries{"A"}));
    EXPECT_EQ(r.history.Items(), Entries(3, "CreatePicture"));
    EXPECT_FALSE(r.list.LoadFromXml(pugi::xml_node(), false, {}));
}

// JPEGs decode at 1/8: 17 x 9 gives 3 x 2, fit to 110 x 73 (a full decode: 110 x 58).
TEST(Thumbnail, FitsLongerSide) {
    TempDir tmp;
    TKelPicture p;
    for (const auto& [name, w, h, tw, th] : {std::tuple{"big.JPG", 2000, 1500, 110, 83},
                                             {"small.jpeg", 17, 9, 110, 73},
                                             {"tall.bmp", 50, 100, 55, 110}}) {
        TBM_Bitmap bitmap;
        bitmap.SetSize(w, h);
        for (int i = 0; i < w * h; ++i)
            bitmap.SetPixel(i % w, i / w, 0x0000FF);
        SavePicture(tmp.dir() + name, bitmap);
        p.SetFileName(tmp.dir() + name);
        ASSERT_TRUE(p.LoadThumbnail()) << name;
        EXPECT_EQ(p.Thumbnail()->Width(), tw) << name;
        EXPECT_EQ(p.Thumbnail()->Height(), th) << name;
        EXPECT_GE(p.Thumbnail()->GetPixel(tw / 2, th / 2).R, 250) << name;
        EXPECT_LE(p.Thumbnail()->GetPixel(tw / 2, th / 2).B, 5) << name;
    }
    // Anything that cannot give a thumbnail gives none, drops the old one and raises nothing.
    for (const std::string& file :
         {tmp.write("photo.png", "\x89PNG"), tmp.write("broken.jpg", "\xFF\xD8 not a jpeg"),
          tmp.write("broken.bmp", "BM"), tmp.dir() + "missing.jpg"}) {
        p.SetFileName(tmp.dir() + "big.JPG");
        ASSERT_TRUE(p.LoadThumbnail());
        p.SetFileName(file);
        EXPECT_FALSE(p.LoadThumbnail()) << file;
        EXPECT_EQ(p.Thumbnail(), nullptr) << file;
    }
}

// Appending a history to itself must not read the entries it is adding.
TEST(History, AppendKeepsOrder) {
    THistory project, layouts;
    project.Add("MovePicture");
    layouts.Add("SetColCount");
    layouts.Add("SetPageTitle");
    project.Append(layouts);
    EXPECT_EQ(project.Items(), (Entries{"MovePicture", "SetColCount", "SetPageTitle"}));
    layouts.Append(layouts);
    EXPECT_EQ(layouts.Items(),
              (Entries{"SetColCount", "SetPageTitle", "SetColCount", "SetPageTitle"}));
}
