// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "generator/TKelGenerationFailure.h"
#include "generator/TKelPictureNames.h"
#include "generator/TKelPictureOutput.h"
#include "model/TKelPictureRefs.h"

class TCustomProgress;
class TKelLayer;
class TKelLayout;
class TKelPicture;
class TKelRebuildPlan;
struct TPictureSize;

/// Writes the resized copies of a gallery's pictures: every source picture is decoded once,
/// then fitted into the frame of every layer whose template shows pictures (or of the one
/// layer given), and once more for each further pixel density of the layer (PictureFrames),
/// resampled by area averaging and saved as a JPEG of the layer's quality, under the name and
/// in the folder the page generator links to. Any format imaging/ reads is taken, turned
/// upright and converted to sRGB there (LoadPictureResampled); a JPEG or PNG is resampled for
/// all its layers in one pass while it is decoded, so only a band of its rows is ever in memory.
///
/// Created for one run or one preview step. Pictures that cannot be read or written are
/// skipped and listed in Failures; the run goes on.
///
/// Threads: with Jobs above 1 several pictures are decoded and written at once on worker
/// threads, while Progress is only ever called from the calling thread, in the same units as a
/// one-thread run (10 steps per picture and layer, with the picture's file name). The files
/// written are byte for byte those of a one-thread run. When Progress reports a cancel, no new
/// picture is started; pictures in progress stop before their next layer.
class TKelPictureGenerator {
public:
    /// Not owned; may be null (no progress, no cancel).
    TCustomProgress* Progress = nullptr;
    /// The pictures of the last run, in order.
    TKelPictureRefs Pictures;
    /// Worker threads for Generate: 1 runs everything on the calling thread; 0 uses one per
    /// core.
    int Jobs = 1;
    /// Decode pictures at a reduced scale where the format allows (JPEG: 1/2, 1/4 or 1/8,
    /// keeping at least twice the largest picture written from them): much faster, same sizes and
    /// names, slightly different pixels. Off by default: the exact pictures are then the same byte
    /// for byte whatever the machine.
    bool Fast = false;
    /// Pictures that could not be read or written in the last run.
    std::vector<TKelGenerationFailure> Failures;
    /// Not owned; may be null. When set, it decides which files of a picture are written; a
    /// picture none of whose files are written is not even decoded.
    TKelRebuildPlan* Plan = nullptr;
    /// Pictures of the last run that were written, but not quite as their files ask (a colour
    /// profile that could not be used), and why; in picture order.
    std::vector<TKelGenerationFailure> Warnings;

    /// Writes every picture of pictures (all of them: the caller chooses) for layer, or, when
    /// layer is null, for every layer of layout whose template holds a picture tag. Nothing is
    /// written for a layout without page directory or an empty list.
    void Generate(const TKelLayout& layout, const TKelLayer* layer, const TKelPictureRefs& pictures,
                  const std::string& outDir);

    /// Every file that Generate with no layer writes for pictures.
    std::vector<std::string> OutputFileNames(const TKelLayout& layout,
                                             const TKelPictureRefs& pictures,
                                             const std::string& outDir);

    /// Writes the placeholder that preview pages show in place of pictures not generated: a BMP
    /// of the layer's frame size (140 where a side is 0) named like the layer's pictures
    /// ("dummy_index.bmp"), filled with faceColor and framed by a one-pixel line of
    /// shadowColor (colours packed as for TBM_Bitmap::SetPixel). Returns its path. Raises on
    /// failure.
    std::string GeneratePlaceholder(const TKelLayout& layout, const TKelLayer& layer,
                                    const std::string& tempDir,
                                    std::uint32_t faceColor = DefaultFaceColor,
                                    std::uint32_t shadowColor = DefaultShadowColor);

    /// A light button-face grey and the darker grey of a button's shadow.
    static constexpr std::uint32_t DefaultFaceColor = 0xF0F0F0;
    static constexpr std::uint32_t DefaultShadowColor = 0xA0A0A0;

    // Implementation details, public only so that the helpers in the source file can name them.
    /// The shared state of a run on worker threads.
    class Run;
    /// Where the work on one picture reports progress and failures.
    class PictureHooks;

private:
    void GenerateParallel(const TKelLayout& layout, const TKelLayer* layer,
                          const std::string& outDir, int workers);
    void ProcessPicture(const TKelLayout& layout, const TKelLayer* layer,
                        const TKelPicture& picture, const std::string& outDir,
                        PictureHooks& hooks) const;

    /// The files made from picture for each of layers, with their keys: one per density the
    /// source has for the layer (from the width x height of size), or, without a size, one per
    /// density the layer asks for.
    std::vector<TKelPictureOutput> Outputs(const TKelLayout& layout,
                                           const std::vector<const TKelLayer*>& layers,
                                           const TKelPicture& picture, const std::string& outDir,
                                           const TPictureSize* size) const;
    /// The file made from picture for layer at density, with its key.
    TKelPictureOutput Output(const TKelLayout& layout, const TKelLayer& layer,
                             const TKelPicture& picture, const std::string& outDir,
                             int density) const;

    /// One source picture resized for one layer at one density, or why that failed.
    struct Resized;
    /// Decodes fileName once and resizes it for each of layers at each of its densities;
    /// warning tells what was not quite right with it. Raises when the picture cannot be read;
    /// what fails for one layer only is kept in its result.
    std::vector<Resized> ResizePicture(const std::string& fileName,
                                       const std::vector<const TKelLayer*>& layers,
                                       std::string& warning) const;
    /// Writes resized, the picture of output; returns the written path. Raises on failure.
    std::string GeneratePicture(const TKelPictureOutput& output, const Resized& resized,
                                const std::string& outDir) const;

    /// Names the files exactly as the page generator does for the same pictures.
    TKelPictureNames m_names;
};
