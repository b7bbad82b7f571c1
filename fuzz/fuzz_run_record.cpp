// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The record a gallery run keeps in its output folder: what loads must write back to the same
// text, and a run that trusts it never removes anything outside its folder. "@DIR@" in the
// input stands for the output folder, which the record must name to be taken.
#include <cstdint>
#include <filesystem>
#include <string>

#include "FuzzSupport.h"
#include "base/FileUtils.h"
#include "generator/TKelRebuildPlan.h"
#include "generator/TKelRunRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& scratch = fuzz::ScratchFolder();
    const std::string outDir = scratch + "out/";
    std::string text(fuzz::Bytes(data, size));
    for (auto at = text.find("@DIR@"); at != std::string::npos; at = text.find("@DIR@", at))
        text.replace(at, 5, outDir);
    const std::string sentinel = scratch + "keep.txt";
    kelvo::WriteFileBytes(sentinel, "x");
    std::filesystem::create_directories(outDir);
    kelvo::WriteFileBytes(outDir + TKelRunRecord::FileName, text);

    TKelRunRecord record;
    if (record.Load(outDir)) {
        const std::string first = record.Text();
        kelvo::WriteFileBytes(outDir + TKelRunRecord::FileName, first);
        TKelRunRecord again;
        if (!again.Load(outDir) || again.Text() != first)
            fuzz::Fail("a record that loaded does not load back the same:\n" + first);
    }
    // A run that makes nothing takes every file of the record for an orphan.
    TKelRebuildPlan plan(outDir, false);
    plan.Begin({}, {});
    plan.Finish(true);
    if (!std::filesystem::exists(sentinel))
        fuzz::Fail("a run removed a file outside its folder:\n" + text);
    return 0;
}
