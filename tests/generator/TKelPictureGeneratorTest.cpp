// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/TKelPictureGenerator.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "base/FileUtils.h"
#include "imaging/BmpFile.h"
#include "imaging/JpegFile.h"
#include "imaging/TBM_Bitmap.h"
#include "model/TKelLayer.h"
#include "model/TKelPicture.h"
#include "support/GalleryFixture.h"
#include "support/RecordingProgress.h"

namespace {

// The size of a written picture as "W x H".
std::string Size(const GalleryFixture& gallery, const std::string& relative) {
    const TJpegInfo info = ReadJpegInfo(gallery.OutDir + relative);
    return std::to_string(info.Width) + " x " + std::to_string(info.Height);
}

class PictureGenerator : public testing::Test {
protected:
    void SetUp() override {
        gallery.Page("index.html", "<table><tr><td><img src=\"#kel_picture_filename def_width=64 "
                                   "def_height=48 def_directory=thumbs#\"></td></tr></table>");
        gallery.Page("about.html", "#kel_page_title#");
    }
    void Generate(int jobs = 1, const std::string& outDir = {}) {
        generator.Jobs = jobs;
        generator.Generate(*gallery.Layout, nullptr, gallery.Pictures,
                           outDir.empty() ? gallery.OutDir : outDir);
    }

    GalleryFixture gallery;
    TKelPictureGenerator generator;
};

} // namespace

// A copy fitted into its frame for every picture layer; other layers count their steps only.
TEST_F(PictureGenerator, WritesEveryPictureForEveryPictureLayer) {
    gallery.Load();
    gallery.AddPhoto("wide.jpg", 300, 200);
    gallery.AddPhoto("tall.bmp", 200, 300);
    gallery.AddPhoto("small.jpeg", 10, 10);
    RecordingProgress progress;
    generator.Progress = &progress;
    Generate();
    EXPECT_EQ(gallery.OutputFiles(),
              (std::vector<std::string>{"thumbs/small_index.jpg", "thumbs/tall_index.jpg",
                                        "thumbs/wide_index.jpg"}));
    EXPECT_EQ(Size(gallery, "thumbs/wide_index.jpg"), "64 x 43");
    EXPECT_EQ(Size(gallery, "thumbs/tall_index.jpg"), "32 x 48");
    EXPECT_EQ(Size(gallery, "thumbs/small_index.jpg"), "48 x 48"); // small ones are enlarged
    EXPECT_EQ(progress.Position, 60);
    ASSERT_EQ(progress.Texts.size(), 6u);
    EXPECT_EQ(progress.Texts[0], gallery.OutDir + "wide_about.jpg"); // never written
    EXPECT_EQ(progress.Texts[1], gallery.OutDir + "thumbs/wide_index.jpg");
    EXPECT_TRUE(generator.Failures.empty());
}

// A frame side of 0 keeps the picture's own size that way.
TEST_F(PictureGenerator, ZeroFrameSideKeepsTheSourceSize) {
    gallery.Load();
    gallery.AddPhoto("a.jpg", 100, 75);
    gallery.AddPhoto("b.jpg", 30, 20);
    TKelLayer& index = *gallery.Layout->Layers().FindLayer("index");
    index.SetPictureWidth(0);
    index.SetPictureHeight(30);
    Generate();
    EXPECT_EQ(Size(gallery, "thumbs/a_index.jpg"), "40 x 30");
    EXPECT_EQ(Size(gallery, "thumbs/b_index.jpg"), "30 x 20");
}

// Several jobs write the very same bytes as one job, and report the same progress.
TEST_F(PictureGenerator, ParallelRunIsByteIdentical) {
    gallery.Page("large.html", "<img src=\"#kel_picture_filename def_width=120 def_height=90 "
                               "def_quality=75#\">");
    gallery.Load();
    for (int i = 0; i < 7; ++i)
        gallery.AddPhoto("p" + std::to_string(i) + ".jpg", 160 + i * 13, 120 + i * 7);
    gallery.AddPicture("missing-data.jpg");

    RecordingProgress one;
    generator.Progress = &one;
    Generate(1);
    const std::string parallelDir = gallery.Tmp.dir() + "parallel/";
    RecordingProgress three;
    generator.Progress = &three;
    Generate(3, parallelDir);

    const std::vector<std::string> files = gallery.OutputFiles();
    ASSERT_EQ(files.size(), 14u);
    for (const std::string& file : files)
        EXPECT_EQ(kelvo::ReadFileBytes(gallery.OutDir + file),
                  kelvo::ReadFileBytes(parallelDir + file))
            << file;
    EXPECT_EQ(three.Position, one.Position);
    EXPECT_EQ(generator.Failures.size(), 1u);
}

// The layer's JPEG quality must reach the encoder: quality 10 and 100 give different files.
// With one layer given: only that layer, for the pictures passed (checked or not).
TEST_F(PictureGenerator, SingleLayerWithItsQuality) {
    gallery.Load();
    gallery.AddPhoto("a.jpg", 120, 90)->SetChecked(false);
    TKelLayer* index = gallery.Layout->Layers().FindLayer("index");
    std::string files[2];
    for (const int quality : {10, 100}) {
        index->SetPictureQuality(quality);
        const std::string outDir = quality == 100 ? gallery.OutDir : gallery.Tmp.dir() + "q10/";
        generator.Generate(*gallery.Layout, index, gallery.Pictures, outDir);
        files[quality == 100] = kelvo::ReadFileBytes(outDir + "thumbs/a_index.jpg");
    }
    EXPECT_LT(files[0].size(), files[1].size());
    EXPECT_EQ(gallery.OutputFiles(), std::vector<std::string>{"thumbs/a_index.jpg"});
}

// Failed pictures are skipped and listed in picture order, with 4 jobs as with 1, even when the
// first to fail is the slowest (a large photo whose target is taken).
TEST_F(PictureGenerator, SkipsPicturesThatFailAndListsThemInOrder) {
    gallery.Load();
    gallery.AddPhoto("big.jpg", 2400, 1800);
    gallery.AddPhoto("good.jpg", 40, 30);
    std::filesystem::remove(gallery.AddPhoto("gone.jpg", 40, 30)->FileName());
    gallery.Tmp.write("src/broken.jpg", "\xff\xd8\xff\xe0 not really a picture");
    gallery.Pictures.CreatePicture()->SetFileName(gallery.Tmp.dir() + "src/broken.jpg");
    gallery.AddPicture("foreign.png");
    gallery.AddPhoto("line.jpg", 1, 30); // a one-pixel span cannot be fitted
    for (int i = 0; i < 4; ++i)
        gallery.AddPicture("empty" + std::to_string(i) + ".jpg");
    std::vector<std::string> order[2];
    for (const int jobs : {1, 4}) {
        const std::string outDir = jobs == 1 ? gallery.OutDir : gallery.Tmp.dir() + "jobs4/";
        std::filesystem::create_directories(outDir + "thumbs/big_index.jpg");
        RecordingProgress progress;
        generator.Progress = &progress;
        Generate(jobs, outDir);
        // What loaded counts its steps, the foreign file and the line too.
        EXPECT_EQ(progress.Position, 80) << jobs;
        for (const TKelGenerationFailure& failure : generator.Failures)
            order[jobs > 1].push_back(kelvo::ExtractFileName(failure.FileName));
    }
    EXPECT_EQ(gallery.OutputFiles(), std::vector<std::string>{"thumbs/good_index.jpg"});
    EXPECT_EQ(order[0].size(), 9u);
    EXPECT_EQ(order[1], order[0]);
}

// A PNG cut short is skipped with its reader's message while the run goes on; a JPEG whose
// colour profile is damaged is written as if it had none and only warned about, with 4 jobs
// as with 1.
TEST_F(PictureGenerator, DamagedPngSkippedDamagedProfileWarned) {
    gallery.Load();
    gallery.Tmp.write("src/cut.png", std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0", 18));
    gallery.Pictures.CreatePicture()->SetFileName(gallery.Tmp.dir() + "src/cut.png");
    const std::string odd = gallery.AddPhoto("odd.jpg", 40, 30)->FileName();
    const std::string profile = std::string("ICC_PROFILE\0\x01\x01", 14) + std::string(200, 'x');
    const std::string marker =
        std::string{'\xFF', '\xE2', '\0', static_cast<char>(profile.size() + 2)} + profile;
    gallery.Tmp.write("src/odd.jpg", kelvo::ReadFileBytes(odd).insert(2, marker));
    gallery.AddPhoto("good.jpg", 40, 30);
    for (const int jobs : {1, 4}) {
        Generate(jobs);
        ASSERT_EQ(generator.Failures.size(), 1u) << jobs;
        EXPECT_EQ(kelvo::ExtractFileName(generator.Failures[0].FileName), "cut.png");
        EXPECT_NE(generator.Failures[0].Message.find("PNG"), std::string::npos);
        ASSERT_EQ(generator.Warnings.size(), 1u) << jobs;
        EXPECT_EQ(generator.Warnings[0].FileName, odd);
        EXPECT_EQ(gallery.OutputFiles(),
                  (std::vector<std::string>{"thumbs/good_index.jpg", "thumbs/odd_index.jpg"}));
    }
}

// A cancel before the first picture writes nothing; one before a layer keeps the earlier ones.
TEST_F(PictureGenerator, Cancel) {
    gallery.Page("large.html", "<img src=\"#kel_picture_filename#\">");
    gallery.Load();
    gallery.AddPhoto("a.jpg", 40, 30);
    gallery.AddPhoto("b.jpg", 40, 30);
    // Query 0 before the picture, 1 and 2 before its layers about and index, 3 before large.
    using Files = std::vector<std::string>;
    for (const auto& [jobs, query, files] :
         {std::tuple{1, 0, Files{}}, {2, 0, Files{}}, {1, 3, Files{"thumbs/a_index.jpg"}}}) {
        RecordingProgress progress;
        progress.CancelAtQuery = query;
        generator.Progress = &progress;
        Generate(jobs);
        EXPECT_EQ(gallery.OutputFiles(), files) << jobs << " jobs, query " << query;
    }
}

// The placeholder: the frame's size, face grey inside, a one-pixel shadow-grey border.
TEST_F(PictureGenerator, Placeholder) {
    gallery.Page("index.html", "<table><tr><td>#kel_picture_filename def_width=160 "
                               "def_height=120#</td></tr></table>");
    gallery.Load();
    const std::string temp = gallery.Tmp.dir() + "tmp/";
    const std::string file = generator.GeneratePlaceholder(
        *gallery.Layout, *gallery.Layout->Layers().FindLayer("index"), temp, 0x102030, 0x405060);
    EXPECT_EQ(file, temp + "dummy_index.bmp");
    TBM_Bitmap bitmap;
    LoadBmpFile(file, bitmap);
    ASSERT_EQ(std::pair(bitmap.Width(), bitmap.Height()), std::pair(160, 120));
    const TBM_Pixel face{0x30, 0x20, 0x10}, shadow{0x60, 0x50, 0x40};
    EXPECT_EQ(bitmap.GetPixel(1, 1), face);
    EXPECT_EQ(bitmap.GetPixel(80, 60), face);
    for (const auto& [x, y] : {std::pair{0, 0}, {159, 60}, {80, 119}, {0, 119}})
        EXPECT_EQ(bitmap.GetPixel(x, y), shadow) << x << "," << y;
}

// Each further density goes into its own folder under the 1x name, so a source called like
// another's 2x picture ("Beach_2x", and "Beach@2x", numbered as ever) collides with nothing;
// a small source gets fewer.
TEST_F(PictureGenerator, DensitiesInFoldersOfTheirOwn) {
    gallery.Load();
    gallery.AddPhoto("Beach.jpg", 300, 200);
    gallery.AddPhoto("Beach_2x.jpg", 100, 80);
    gallery.AddPhoto("Beach@2x.bmp", 60, 60);
    gallery.Layout->Layers().FindLayer("index")->SetDensities({1, 2, 3});
    RecordingProgress progress;
    generator.Progress = &progress;
    Generate();
    EXPECT_EQ(gallery.OutputFiles(),
              (std::vector<std::string>{"thumbs/2x/Beach_2x_2_index.jpg",
                                        "thumbs/2x/Beach_2x_index.jpg", "thumbs/2x/Beach_index.jpg",
                                        "thumbs/3x/Beach_index.jpg", "thumbs/Beach_2x_2_index.jpg",
                                        "thumbs/Beach_2x_index.jpg", "thumbs/Beach_index.jpg"}));
    EXPECT_EQ(Size(gallery, "thumbs/2x/Beach_index.jpg"), "128 x 86");
    EXPECT_EQ(Size(gallery, "thumbs/3x/Beach_index.jpg"), "192 x 128");
    EXPECT_EQ(Size(gallery, "thumbs/2x/Beach_2x_index.jpg"), "100 x 80"); // the source's size
    EXPECT_EQ(progress.Position, 60); // the same steps as without densities
    EXPECT_TRUE(generator.Failures.empty());
}
