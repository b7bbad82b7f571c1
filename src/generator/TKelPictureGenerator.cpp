// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/TKelPictureGenerator.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <filesystem>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

#include "base/FileUtils.h"
#include "base/KelErrors.h"
#include "generator/TKelPageGenerator.h"
#include "generator/TKelPictureFrame.h"
#include "generator/TKelRebuildPlan.h"
#include "imaging/BmpFile.h"
#include "imaging/JpegFile.h"
#include "imaging/LoadPicture.h"
#include "imaging/PictureFormat.h"
#include "imaging/PictureOutputVersion.h"
#include "imaging/TBM_Bitmap.h"
#include "model/TCustomProgress.h"
#include "model/TKelLayer.h"
#include "model/TKelLayout.h"
#include "model/TKelPicture.h"
#include "template/TKelPageFile.h"

namespace fs = std::filesystem;

// What the work on one picture reports, whichever thread it runs on.
class TKelPictureGenerator::PictureHooks {
public:
    virtual ~PictureHooks() = default;
    /// Called before each layer with the picture's file name for it; false stops the picture.
    virtual bool BeforeLayer(const std::string& fileName) = 0;
    virtual void Failed(TKelGenerationFailure failure) = 0;
    virtual void Warned(TKelGenerationFailure warning) = 0;
};

namespace {

// A one-thread run reports straight to the progress sink, in the order a user sees it.
class DirectHooks : public TKelPictureGenerator::PictureHooks {
public:
    DirectHooks(TCustomProgress* progress, std::vector<TKelGenerationFailure>& failures,
                std::vector<TKelGenerationFailure>& warnings)
        : m_progress(progress)
        , m_failures(failures)
        , m_warnings(warnings) {}
    bool BeforeLayer(const std::string& fileName) override {
        if (!m_progress)
            return true;
        if (m_progress->IsCancelled())
            return false;
        m_progress->Step(10, fileName);
        return true;
    }
    void Failed(TKelGenerationFailure failure) override {
        m_failures.push_back(std::move(failure));
    }
    void Warned(TKelGenerationFailure warning) override {
        m_warnings.push_back(std::move(warning));
    }

private:
    TCustomProgress* m_progress;
    std::vector<TKelGenerationFailure>& m_failures;
    std::vector<TKelGenerationFailure>& m_warnings;
};

bool ShowsPictures(const TKelLayer& layer) {
    return layer.PageFile() && layer.PageFile()->AllTags.ContainsPictureTag();
}

// The layers pictures are made for: the one given, else every layer that shows pictures.
std::vector<const TKelLayer*> PictureLayers(const TKelLayout& layout, const TKelLayer* layer) {
    if (layer)
        return {layer};
    std::vector<const TKelLayer*> layers;
    for (const TKelLayer* each : layout.Layers())
        if (ShowsPictures(*each))
            layers.push_back(each);
    return layers;
}

} // namespace

/// The shared state of a run on worker threads. Workers take picture indexes the calling
/// thread has released and post what they report as events; only the calling thread touches
/// the progress sink.
class TKelPictureGenerator::Run {
public:
    struct Event {
        enum class Kind { Step, Failed, Warned, Finished } What;
        int Picture;
        std::string Text;
        TKelGenerationFailure Failure;
    };

    void Release(int picture) {
        {
            const std::lock_guard lock(m_mutex);
            m_work.push_back(picture);
        }
        m_workReady.notify_one();
    }

    void Close() {
        {
            const std::lock_guard lock(m_mutex);
            m_closed = true;
        }
        m_workReady.notify_all();
    }

    /// The next released picture, or -1 once the run is closed and nothing is left.
    int Take() {
        std::unique_lock lock(m_mutex);
        m_workReady.wait(lock, [this] { return m_closed || !m_work.empty(); });
        if (m_work.empty())
            return -1;
        const int picture = m_work.front();
        m_work.pop_front();
        return picture;
    }

    void Post(Event event) {
        {
            const std::lock_guard lock(m_mutex);
            m_events.push_back(std::move(event));
        }
        m_eventReady.notify_one();
    }

    /// Waits a little for events, so that the caller can keep asking the progress sink whether
    /// to stop (which is where a user interface handles its input) while pictures are decoded.
    std::deque<Event> Wait() {
        std::unique_lock lock(m_mutex);
        m_eventReady.wait_for(lock, std::chrono::milliseconds(50),
                              [this] { return !m_events.empty(); });
        return std::exchange(m_events, {});
    }

    std::atomic<bool> Cancelled{false};

private:
    std::mutex m_mutex;
    std::condition_variable m_workReady;
    std::condition_variable m_eventReady;
    std::deque<int> m_work;
    std::deque<Event> m_events;
    bool m_closed = false;
};

namespace {

class ThreadHooks : public TKelPictureGenerator::PictureHooks {
public:
    using Run = TKelPictureGenerator::Run;
    ThreadHooks(Run& run, int picture)
        : m_run(run)
        , m_picture(picture) {}
    bool BeforeLayer(const std::string& fileName) override {
        if (m_run.Cancelled)
            return false;
        m_run.Post({Run::Event::Kind::Step, m_picture, fileName, {}});
        return true;
    }
    void Failed(TKelGenerationFailure failure) override {
        m_run.Post({Run::Event::Kind::Failed, m_picture, {}, std::move(failure)});
    }
    void Warned(TKelGenerationFailure warning) override {
        m_run.Post({Run::Event::Kind::Warned, m_picture, {}, std::move(warning)});
    }

private:
    Run& m_run;
    int m_picture;
};

} // namespace

struct TKelPictureGenerator::Resized {
    const TKelLayer* Layer = nullptr;
    int Density = 1;
    /// Sized as it is to be written, or empty when Error is set.
    TBM_Bitmap Picture;
    /// Set when this picture could not be made; raised again when it is written.
    std::exception_ptr Error;
};

std::vector<TKelPictureGenerator::Resized>
TKelPictureGenerator::ResizePicture(const std::string& fileName,
                                    const std::vector<const TKelLayer*>& layers,
                                    std::string& warning) const {
    // One picture per layer and density; a layer whose frame cannot be fitted keeps one entry
    // that carries the failure.
    std::vector<Resized> result;
    const auto framesFor = [&](int width, int height) {
        for (const TKelLayer* layer : layers) {
            std::vector<TKelPictureFrame> frames;
            try {
                frames = PictureFrames(*layer, width, height);
            } catch (const std::exception&) {
                result.push_back({layer, 1, {}, std::current_exception()});
                continue;
            }
            for (const TKelPictureFrame& frame : frames) {
                Resized& each = result.emplace_back(Resized{layer, frame.Density, {}, {}});
                try {
                    each.Picture.SetSize(frame.Width, frame.Height);
                } catch (const std::exception&) {
                    each.Error = std::current_exception();
                }
            }
        }
        std::vector<TBM_Bitmap*> dests;
        for (Resized& each : result)
            if (!each.Error)
                dests.push_back(&each.Picture);
        return dests;
    };
    warning = LoadPictureResampled(fileName, framesFor, Fast);
    return result;
}

std::vector<TKelPictureOutput>
TKelPictureGenerator::Outputs(const TKelLayout& layout, const std::vector<const TKelLayer*>& layers,
                              const TKelPicture& picture, const std::string& outDir,
                              const TPictureSize* size) const {
    std::vector<TKelPictureOutput> outputs;
    for (const TKelLayer* layer : layers) {
        std::vector<int> densities = layer->Densities();
        if (size) {
            try {
                densities.clear();
                for (const TKelPictureFrame& frame :
                     PictureFrames(*layer, size->Width, size->Height))
                    densities.push_back(frame.Density);
            } catch (const std::exception&) {
                densities = {1}; // carries the failure when the picture is made
            }
        }
        for (const int density : densities)
            outputs.push_back(Output(layout, *layer, picture, outDir, density));
    }
    return outputs;
}

TKelPictureOutput TKelPictureGenerator::Output(const TKelLayout& layout, const TKelLayer& layer,
                                               const TKelPicture& picture,
                                               const std::string& outDir, int density) const {
    // The source aside, this is all that decides the bytes of the file.
    // Appended piece by piece: GCC 12 at -O3 warns wrongly about a literal + a temporary string.
    std::string key = "v";
    for (const auto& [separator, number] : {std::pair{"", KelPictureOutputVersion},
                                            {" ", layer.PictureWidth()},
                                            {"x", layer.PictureHeight()},
                                            {"@", density},
                                            {" q", layer.PictureQuality()}})
        key.append(separator).append(std::to_string(number));
    key += Fast ? " fast" : " exact";
    return {&layer,
            TKelPageGenerator::MakeUrl(
                m_names.PictureFileName(layout, layer, &picture, outDir, density), false),
            key, density};
}

std::vector<std::string> TKelPictureGenerator::OutputFileNames(const TKelLayout& layout,
                                                               const TKelPictureRefs& pictures,
                                                               const std::string& outDir) {
    Pictures.Assign(pictures, false, false);
    m_names.Assign(Pictures);
    std::vector<std::string> result;
    if (!layout.Directory())
        return result;
    const std::vector<const TKelLayer*> layers = PictureLayers(layout, nullptr);
    for (const TKelPicture* picture : Pictures)
        for (TKelPictureOutput& output : Outputs(layout, layers, *picture, outDir, nullptr))
            result.push_back(std::move(output.FileName));
    return result;
}

void TKelPictureGenerator::ProcessPicture(const TKelLayout& layout, const TKelLayer* layer,
                                          const TKelPicture& picture, const std::string& outDir,
                                          PictureHooks& hooks) const {
    std::optional<TPictureSize> size;
    try {
        size = ReadPictureSize(picture.FileName());
    } catch (const std::exception&) {
        // Decoding fails too, and says why.
    }
    std::vector<TKelPictureOutput> outputs =
        Outputs(layout, PictureLayers(layout, layer), picture, outDir, size ? &*size : nullptr);
    TKelRebuildPlan::TSourceState source;
    if (Plan)
        source = Plan->Decide(picture.FileName(), outputs, Fast);
    std::vector<const TKelLayer*> targets;
    for (const TKelPictureOutput& output : outputs)
        if (output.Write &&
            std::find(targets.begin(), targets.end(), output.Layer) == targets.end())
            targets.push_back(output.Layer);

    // A file of another type loads nothing; it still counts its progress steps below.
    const bool usable = PictureFormatOf(picture.FileName()) != TPictureFormat::None;
    std::vector<Resized> resized;
    if (!usable) {
        hooks.Failed(
            {picture.FileName(), "Not a picture Kelvo can read: \"" + picture.FileName() + "\""});
    } else if (!targets.empty()) {
        std::string warning;
        try {
            resized = ResizePicture(picture.FileName(), targets, warning);
        } catch (const std::exception& e) {
            hooks.Failed({picture.FileName(), e.what()});
            return;
        }
        if (!warning.empty())
            hooks.Warned({picture.FileName(), warning});
    }

    const auto write = [&](const TKelLayer& target) {
        for (const Resized& each : resized) {
            if (each.Layer != &target)
                continue;
            const auto found = std::find_if(outputs.begin(), outputs.end(), [&](const auto& o) {
                return o.Layer == &target && o.Density == each.Density;
            });
            // A density the headers did not promise is still written, as a fresh run would.
            const TKelPictureOutput output =
                found != outputs.end() ? *found
                                       : Output(layout, target, picture, outDir, each.Density);
            if (!output.Write)
                continue;
            try {
                GeneratePicture(output, each, outDir);
                if (Plan)
                    Plan->Written(output, source);
            } catch (const std::exception& e) {
                hooks.Failed({output.FileName, e.what()});
            }
        }
    };
    if (layer) {
        write(*layer);
        return;
    }
    for (const TKelLayer* each : layout.Layers()) {
        if (!hooks.BeforeLayer(m_names.PictureFileName(layout, *each, &picture, outDir)))
            return;
        write(*each);
    }
}

void TKelPictureGenerator::Generate(const TKelLayout& layout, const TKelLayer* layer,
                                    const TKelPictureRefs& pictures, const std::string& outDir) {
    Pictures.Assign(pictures, false, false);
    m_names.Assign(Pictures);
    Failures.clear();
    Warnings.clear();
    if (!layout.Directory() || Pictures.Count() == 0)
        return;

    const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    const int workers = std::min(Jobs > 0 ? Jobs : cores, Pictures.Count());
    if (workers <= 1) {
        DirectHooks hooks(Progress, Failures, Warnings);
        for (const TKelPicture* picture : Pictures) {
            if (Progress && Progress->IsCancelled())
                return;
            ProcessPicture(layout, layer, *picture, outDir, hooks);
        }
        return;
    }
    GenerateParallel(layout, layer, outDir, workers);
}

void TKelPictureGenerator::GenerateParallel(const TKelLayout& layout, const TKelLayer* layer,
                                            const std::string& outDir, int workers) {
    Run run;
    std::vector<std::jthread> threads;
    threads.reserve(static_cast<std::size_t>(workers));
    for (int i = 0; i < workers; ++i) {
        threads.emplace_back([&] {
            for (int index; (index = run.Take()) >= 0;) {
                ThreadHooks hooks(run, index);
                try {
                    ProcessPicture(layout, layer, *Pictures.GetPicture(index), outDir, hooks);
                } catch (const std::exception& e) {
                    hooks.Failed({Pictures.GetPicture(index)->FileName(), e.what()});
                }
                run.Post({Run::Event::Kind::Finished, index, {}, {}});
            }
        });
    }

    std::vector<std::pair<int, TKelGenerationFailure>> failures;
    std::vector<std::pair<int, TKelGenerationFailure>> warnings;
    const auto askCancel = [&] {
        if (!run.Cancelled && Progress && Progress->IsCancelled())
            run.Cancelled = true;
        return run.Cancelled.load();
    };
    // Only as many pictures are released as there are workers, so a cancel starts no new one.
    int next = 0;
    int active = 0;
    while (true) {
        while (active < workers && next < Pictures.Count() && !askCancel()) {
            run.Release(next++);
            ++active;
        }
        if (active == 0)
            break;
        for (Run::Event& event : run.Wait()) {
            switch (event.What) {
            case Run::Event::Kind::Step:
                if (Progress)
                    Progress->Step(10, event.Text);
                break;
            case Run::Event::Kind::Failed:
                failures.emplace_back(event.Picture, std::move(event.Failure));
                break;
            case Run::Event::Kind::Warned:
                warnings.emplace_back(event.Picture, std::move(event.Failure));
                break;
            case Run::Event::Kind::Finished:
                --active;
                break;
            }
        }
        askCancel();
    }
    run.Close();
    threads.clear();

    // Report in picture order, as a one-thread run would.
    for (auto [list, events] : {std::pair{&Failures, &failures}, {&Warnings, &warnings}}) {
        std::stable_sort(events->begin(), events->end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (auto& [index, each] : *events)
            list->push_back(std::move(each));
    }
}

std::string TKelPictureGenerator::GeneratePicture(const TKelPictureOutput& output,
                                                  const Resized& resized,
                                                  const std::string& outDir) const {
    const std::string& fileName = output.FileName;
    if (!kelvo::IsInsideFolder(fileName, outDir))
        throw EFileError("Refusing to write \"" + fileName + "\" outside the output folder");
    if (resized.Error)
        std::rethrow_exception(resized.Error);
    std::error_code ec;
    fs::create_directories(fs::path(fileName).parent_path(), ec); // a failure shows when saving
    // Written beside and renamed over the old file: that stays whole until then, and the new
    // one gets a new inode, which no record of an earlier run describes.
    const std::string temporary =
        kelvo::TemporaryFileName(fileName, fs::path(fileName).extension().string());
    SaveJpegFile(temporary, resized.Picture, output.Layer->PictureQuality());
    fs::rename(temporary, fileName, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        throw EFileError("Cannot write \"" + fileName + "\": " + ec.message());
    }
    return fileName;
}

std::string TKelPictureGenerator::GeneratePlaceholder(const TKelLayout& layout,
                                                      const TKelLayer& layer,
                                                      const std::string& tempDir,
                                                      std::uint32_t faceColor,
                                                      std::uint32_t shadowColor) {
    // The placeholder is written under the link form of its name, which is what previews link to.
    std::string fileName =
        TKelPageGenerator::MakeUrl(m_names.PictureFileName(layout, layer, nullptr, tempDir), false);
    if (!kelvo::IsInsideFolder(fileName, tempDir))
        throw EFileError("Refusing to write \"" + fileName + "\" outside the temporary folder");

    const TKelPictureFrame frame = PlaceholderFrame(layer);
    const int width = frame.Width;
    const int height = frame.Height;
    TBM_Bitmap::CheckSize(width, height);

    std::vector<std::uint8_t> indices(
        static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (x == 0 || y == 0 || x == width - 1 || y == height - 1)
                indices[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                        static_cast<std::size_t>(x)] = 1;
        }
    }
    fs::create_directories(fs::path(fileName).parent_path());
    SaveBmp8File(fileName, width, height, {faceColor, shadowColor}, indices);
    return fileName;
}
