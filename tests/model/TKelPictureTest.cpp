// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/TKelPicture.h"

#include <ctime>
#include <filesystem>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include "base/KelErrors.h"
#include "imaging/TBM_Bitmap.h"
#include "model/THistory.h"
#include "model/TKelPictureList.h"
#include "model/TSXmlReader.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;
using namespace std::chrono;
using Entries = std::vector<std::string>;

namespace {

// A picture list recording into its own history, as the project's does.
struct RecordingList {
    RecordingList() { list.SetHistory(&history); }
    TKelPicture* Add(const std::string& title) {
        TKelPicture* p = list.CreatePicture();
        p->SetTitle(title);
        history.Clear();
        return p;
    }
    std::vector<std::string> Titles() const {
        std::vector<std::string> titles;
        for (const TKelPicture* p : list)
            titles.push_back(p->Title());
        return titles;
    }
    THistory history;
    TKelPictureList list;
};

void SetModificationTime(const std::string& file, std::time_t time) {
    const utimbuf times{time, time};
    ASSERT_EQ(::utime(file.c_str(), &times), 0);
}

} // namespace

// The title comes from the file name (last extension cut), a missing file unchecks the picture
// and keeps it dateless, and none of it is recorded as a user change. The date is the file's
// local wall-clock time, odd seconds rounded down. UncheckMissing records one change per
// picture it actually unchecks.
TEST(Picture, SetFileNameDerivesTitleDateAndCheck) {
    TempDir tmp;
    RecordingList r;
    for (const auto& [file, title] : {std::pair{"IMG_0001.JPG", "IMG_0001"},
                                      {"Beach.2004.jpg", "Beach.2004"},
                                      {".jpg", ""},
                                      {"noext", "noext"}}) {
        TKelPicture* p = r.list.CreatePicture();
        p->SetFileName(tmp.write(file, "data"));
        EXPECT_EQ(p->Title(), title) << file;
        EXPECT_TRUE(p->Checked()) << file;
    }
    std::tm local{};
    local.tm_year = 104, local.tm_mon = 6, local.tm_mday = 14; // 14 July 2004
    local.tm_hour = 15, local.tm_min = 30, local.tm_sec = 45, local.tm_isdst = -1;
    SetModificationTime(tmp.dir() + "noext", std::mktime(&local));
    r.list.GetPicture(3)->SetFileName(tmp.dir() + "noext");
    EXPECT_EQ(r.list.GetPicture(3)->Date(), local_days{2004y / July / 14} + 15h + 30min + 44s);

    TKelPicture* missing = r.list.CreatePicture();
    missing->SetFileName(tmp.dir() + "gone.jpg");
    EXPECT_FALSE(missing->Checked());
    EXPECT_EQ(missing->Date(), TKelPicture::TDate{});
    EXPECT_EQ(missing->Title(), "gone");
    // A folder is not a picture file.
    TKelPicture* folder = r.list.CreatePicture();
    folder->SetFileName(tmp.dir());
    EXPECT_FALSE(folder->Exists());
    EXPECT_FALSE(folder->Checked());
    TKelPicture* titled = r.list.CreatePicture();
    titled->SetTitle("Mine");
    r.history.Clear();
    titled->SetFileName(tmp.write("other.jpg", "x"));
    EXPECT_EQ(titled->Title(), "Mine");
    EXPECT_FALSE(r.history.IsModified());

    r.list.CreatePicture(); // no file at all, checked
    r.history.Clear();
    fs::remove(tmp.dir() + "other.jpg");
    r.list.UncheckMissing();
    EXPECT_TRUE(r.list.GetPicture(0)->Checked());
    EXPECT_FALSE(titled->Checked());
    EXPECT_FALSE(r.list.GetPicture(7)->Checked());
    EXPECT_EQ(r.history.Items(), (Entries{"SetChecked", "SetChecked"}));
    r.list.UncheckMissing();
    EXPECT_EQ(r.history.Items().size(), 2U);
}

// Setters record only real changes (case counts), under their own names; pictures outside a
// list, or in a list without history, record nothing and do not crash. Assign filters by check
// mark and selection in list order; an owning list ignores it, and a reference list removing a
// picture must not free it.
TEST(Picture, SettersRecordRealChangesAndAssignFilters) {
    RecordingList r;
    TKelPicture* a = r.Add("a");
    TKelPicture* b = r.Add("Beach");
    TKelPicture* c = r.Add("c");
    b->SetTitle("Beach");
    b->SetComment("");
    b->SetChecked(true);
    EXPECT_FALSE(r.history.IsModified());
    b->SetTitle("beach");
    b->SetComment("c");
    b->SetChecked(false);
    c->SetSelected(true);
    EXPECT_EQ(r.history.Items(), (Entries{"SetTitle", "SetComment", "SetChecked"}));
    TKelPicture alone;
    alone.SetTitle("x");

    TKelPictureRefs refs;
    refs.Assign(r.list, false, true);
    EXPECT_EQ(refs.Count(), 2);
    EXPECT_EQ(refs.GetPicture(0), a);
    EXPECT_EQ(refs.GetPicture(1), c);
    refs.Assign(r.list, true, false);
    EXPECT_EQ(refs.Count(), 1);
    EXPECT_EQ(r.list.SelectedCount(), 1);
    EXPECT_EQ(refs.Add(b), 1);
    refs.OrderByTitle();
    EXPECT_EQ(refs.RemovePicture(b), 0);
    EXPECT_EQ(b->Title(), "beach"); // still alive
    EXPECT_EQ(r.history.Items().size(), 3U);
    TKelPictureList other;
    other.CreatePicture();
    r.list.Assign(other, false, false);
    EXPECT_EQ(r.list.Count(), 3);
}

// Sorting: case-insensitive, stable for equal keys, recorded even when nothing moves; date and
// file name sorts use the right keys: older first, full paths compared without case.
TEST(PictureList, Orders) {
    TempDir tmp;
    RecordingList r;
    r.list.OrderByTitle();
    EXPECT_EQ(r.history.Items(), (Entries{"OrderByTitle"}));
    const std::time_t base = 1'100'000'000;
    for (const auto& [name, age, comment] : {std::tuple{"z/b.jpg", base + 10, "2"},
                                             {"Y/A.jpg", base + 20, ""},
                                             {"C/c.jpg", base, ""},
                                             {"x/B.jpg", base + 30, "1"}}) {
        TKelPicture* p = r.list.CreatePicture();
        p->SetFileName(tmp.write(name, "x"));
        SetModificationTime(p->FileName(), age);
        p->SetFileName(p->FileName()); // reads the new date
        p->SetComment(comment);
    }
    r.history.Clear();
    r.list.OrderByTitle();
    EXPECT_EQ(r.Titles(), (Entries{"A", "b", "B", "c"}));
    r.list.OrderByComment();
    EXPECT_EQ(r.Titles(), (Entries{"A", "c", "B", "b"}));
    EXPECT_EQ(r.history.Items(), (Entries{"OrderByTitle", "OrderByComment"}));
    r.list.OrderByDate();
    EXPECT_EQ(r.Titles(), (Entries{"c", "b", "A", "B"}));
    r.list.OrderByFileName();
    EXPECT_EQ(r.Titles(), (Entries{"c", "B", "A", "b"})); // ".../x/B" before ".../Y/A"
}

// Moving shifts the pictures between; a no-op move records nothing; a bad index is an error,
// not memory corruption. Removing frees and records; a picture that is not there gives -1 and
// records nothing; out-of-range access gives nullptr.
TEST(PictureList, MoveRemoveAndAccess) {
    RecordingList r;
    TKelPicture* p0 = r.Add("P0");
    r.Add("P1");
    r.Add("P2");
    r.list.MovePicture(0, 2);
    EXPECT_EQ(r.Titles(), (Entries{"P1", "P2", "P0"}));
    r.list.MovePicture(2, 0);
    r.list.MovePicture(1, 1);
    EXPECT_EQ(r.Titles(), (Entries{"P0", "P1", "P2"}));
    EXPECT_THROW(r.list.MovePicture(0, 3), EListError);
    EXPECT_THROW(r.list.MovePicture(-1, 0), EListError);
    TKelPicture stranger;
    EXPECT_EQ(r.list.RemovePicture(&stranger), -1);
    EXPECT_EQ(r.list.RemovePicture(p0), 0);
    EXPECT_EQ(r.history.Items(), (Entries{"MovePicture", "MovePicture", "RemovePicture"}));
    EXPECT_EQ(r.Titles(), (Entries{"P1", "P2"}));
    EXPECT_EQ(r.list.GetPicture(2), nullptr);
    EXPECT_EQ(r.list.GetPicture(-1), nullptr);
    EXPECT_EQ(r.list.IndexOf(p0), -1);
}

// The picture_info element: the stored title wins (also empty), checked reads true/false in
// any case with true as default, and a missing file always loads unchecked; nothing recorded.
TEST(PictureList, LoadsPictureInfo) {
    TempDir tmp;
    for (const auto& [name, attributes, exists, title, comment, checked] :
         {std::tuple{"EmptyTitleWins", R"(title="" comment="a" checked="TRUE")", true, "", "a",
                     true},
          {"NoTitleAttribute", R"(checked="false")", true, "", "", false},
          {"CheckedYesIsDefault", R"(title="T" checked="yes")", true, "T", "", true},
          {"MissingFileUnchecks", R"(title="T" checked="true")", false, "T", "", false}}) {
        SCOPED_TRACE(name);
        const std::string file = exists ? tmp.write("Pic.jpg", "x") : tmp.dir() + "Gone.jpg";
        TSXmlReader reader;
        reader.LoadFromString(std::string("<picture_info ") + attributes + "><filename>" + file +
                              "</filename></picture_info>");
        RecordingList r;
        TKelPicture* p = r.Add("");
        ASSERT_TRUE(p->LoadFromXml(reader.Root()));
        EXPECT_EQ(p->FileName() + p->Title() + "|" + p->Comment(), file + title + "|" + comment);
        EXPECT_EQ(p->Checked(), checked);
        EXPECT_FALSE(r.history.IsModified());
    }
}

// A picture_info without filename fails the list's load; every child still gets a picture,
// those from the failed one on stay empty and get no notification.
TEST(PictureList, LoadStopsAtBrokenPicture) {
    TempDir tmp;
    const std::string a = tmp.write("a.jpg", "x");
    TSXmlReader reader;
    reader.LoadFromString("<picture_infos><picture_info title=\"A\"><filename>" + a +
                          "</filename></picture_info><!-- note --><picture_info title=\"B\"/>"
                          "<picture_info title=\"C\"><filename>" +
                          a + "</filename></picture_info></picture_infos>");
    TKelPictureList list;
    list.CreatePicture();
    std::vector<std::string> notified;
    const bool ok =
        list.LoadFromXml(reader.Root(), true, [&](TKelPictureList& sender, TKelPicture& picture) {
            EXPECT_EQ(&sender, &list);
            notified.push_back(picture.Title());
        });
    EXPECT_FALSE(ok);
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.GetPicture(0)->Title(), "A");
    EXPECT_EQ(list.GetPicture(2)->Title(), "");
    EXPECT_EQ(list.GetPicture(2)->FileName(), "");
    EXPECT_EQ(notified, (Entries{"A"}));
    EXPECT_FALSE(list.LoadFromXml(pugi::xml_node(), false, {}));
}

// The longer side is 110 for JPEG and BMP, small pictures are enlarged, and the picture is
// really drawn into it. JPEGs are decoded at one-eighth scale: 17 x 9 decodes to 3 x 2, which
// fits to 110 x 73, where a full decode would give 110 x 58.
TEST(Thumbnail, FitsLongerSide) {
    TempDir tmp;
    TKelPicture p;
    for (const auto& [name, w, h, tw, th] : {std::tuple{"big.JPG", 2000, 1500, 110, 83},
                                             {"small.jpeg", 17, 9, 110, 73},
                                             {"tall.bmp", 50, 100, 55, 110}}) {
        TBM_Bitmap bitmap;
        bitmap.SetSize(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                bitmap.SetPixel(x, y, 0x0000FF);
        bitmap.SaveToFile(tmp.dir() + name, 90);
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
