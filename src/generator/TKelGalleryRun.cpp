// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/TKelGalleryRun.h"

#include <algorithm>
#include <climits>

#include "base/KelErrors.h"
#include "generator/TKelPageGenerator.h"
#include "generator/TKelPictureGenerator.h"
#include "model/TCustomProgress.h"
#include "model/TKelLayer.h"
#include "model/TKelLayout.h"
#include "model/TKelProject.h"

namespace {

// Passes everything on and remembers whether a cancel was seen, so that the run can tell a
// finished gallery from a stopped one without asking the user interface once more.
class CancelWatch : public TCustomProgress {
public:
    explicit CancelWatch(TCustomProgress* inner)
        : m_inner(inner) {}
    int GetMax() const override { return m_inner ? m_inner->GetMax() : 0; }
    void SetMax(int value) override {
        if (m_inner)
            m_inner->SetMax(value);
    }
    void Reset() override {
        m_cancelled = false;
        if (m_inner)
            m_inner->Reset();
    }
    void Step(int delta, const std::string& text) override {
        if (m_inner)
            m_inner->Step(delta, text);
    }
    bool IsCancelled() override {
        if (m_inner && m_inner->IsCancelled())
            m_cancelled = true;
        return m_cancelled;
    }
    bool WasCancelled() const { return m_cancelled; }

private:
    TCustomProgress* m_inner;
    bool m_cancelled = false;
};

} // namespace

TKelGalleryRun::TStatus TKelGalleryRun::Execute(TKelProject& project, const std::string& outDir) {
    StartPage.clear();
    Failures.clear();
    Counts = {};
    Warnings.clear();

    project.Pictures().UncheckMissing();
    TKelPictureRefs pictures;
    pictures.Assign(project.Pictures(), false, true);
    if (pictures.Count() == 0)
        return TStatus::NoPictures;
    const TKelLayout* layout = project.Layouts().GetActiveLayout();
    if (!layout)
        return TStatus::NoLayout;

    CancelWatch progress(Progress);
    progress.Reset();
    const long long steps =
        static_cast<long long>(pictures.Count()) * layout->Layers().Count() * 10 +
        layout->Layers().Count();
    progress.SetMax(static_cast<int>(std::min<long long>(steps, INT_MAX)));
    if (OnStarted)
        OnStarted();

    TKelRebuildPlan plan(outDir, Force);
    TKelPageGenerator pages;
    TKelPictureGenerator pictureGenerator;
    std::vector<std::pair<std::string, bool>> files;
    for (std::string& file : pages.OutputFileNames(pictures, *layout, outDir))
        files.emplace_back(std::move(file), false);
    for (std::string& file : pictureGenerator.OutputFileNames(*layout, pictures, outDir))
        files.emplace_back(std::move(file), true);
    plan.Begin(files, pages.DirectoryNames(*layout, outDir));

    pages.Plan = &plan;
    pages.CreateDirectories(*layout, outDir);
    pages.CopyFiles(*layout, outDir);
    pages.Progress = &progress;
    pages.Generate(pictures, *layout, outDir);
    StartPage = pages.GetStartPage(*layout, outDir);
    Failures = pages.Failures;

    pictureGenerator.Progress = &progress;
    pictureGenerator.Jobs = Jobs;
    pictureGenerator.Fast = Fast;
    pictureGenerator.Plan = &plan;
    pictureGenerator.Generate(*layout, nullptr, pictures, outDir);
    Failures.insert(Failures.end(), pictureGenerator.Failures.begin(),
                    pictureGenerator.Failures.end());
    Warnings = pictureGenerator.Warnings;

    const bool cancelled = progress.WasCancelled();
    plan.Finish(!cancelled);
    Failures.insert(Failures.end(), plan.Failures.begin(), plan.Failures.end());
    Counts = plan.Counts;
    progress.Reset();
    return cancelled ? TStatus::Cancelled : TStatus::Done;
}

std::string TKelGalleryRun::OutputDirectory(const std::string& outputDirectory,
                                            const std::string& subDirectory) {
    if (!TKelLayer::IsSafePictureDirectory(subDirectory))
        throw EFileError("The output sub-folder \"" + subDirectory +
                         "\" leads outside the output folder");
    return outputDirectory + subDirectory;
}
