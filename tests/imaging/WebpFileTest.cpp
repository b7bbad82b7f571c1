// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/WebpFile.h"

#include <webp/encode.h>
#include <webp/mux.h>

#include "DecodedPictureTestSupport.h"

using namespace picture_test;

namespace {

constexpr int W = 64, H = 48;

std::string Encode(bool lossless, bool alpha) {
    const std::vector<std::uint8_t> samples = Pattern(W, H, alpha ? 4 : 3);
    const int stride = W * (alpha ? 4 : 3);
    std::uint8_t* out = nullptr;
    std::size_t size = 0;
    if (lossless)
        size = alpha ? WebPEncodeLosslessRGBA(samples.data(), W, H, stride, &out)
                     : WebPEncodeLosslessRGB(samples.data(), W, H, stride, &out);
    else
        size = alpha ? WebPEncodeRGBA(samples.data(), W, H, stride, 95, &out)
                     : WebPEncodeRGB(samples.data(), W, H, stride, 95, &out);
    std::string bytes(reinterpret_cast<const char*>(out), size);
    WebPFree(out);
    return bytes;
}

// The lossless pattern with the given chunks added (tag, payload).
std::string WithChunks(const std::vector<std::pair<const char*, std::string>>& chunks) {
    const std::string image = Encode(true, false);
    const WebPData in{reinterpret_cast<const std::uint8_t*>(image.data()), image.size()};
    WebPMux* mux = WebPMuxCreate(&in, 1);
    for (const auto& [tag, payload] : chunks) {
        const WebPData data{reinterpret_cast<const std::uint8_t*>(payload.data()), payload.size()};
        EXPECT_EQ(WebPMuxSetChunk(mux, tag, &data, 1), WEBP_MUX_OK);
    }
    WebPData out{};
    EXPECT_EQ(WebPMuxAssemble(mux, &out), WEBP_MUX_OK);
    std::string bytes(reinterpret_cast<const char*>(out.bytes), out.size);
    WebPDataClear(&out);
    WebPMuxDelete(mux);
    return bytes;
}

struct TWebpCase {
    const char* Name;
    bool Lossless;
    bool Alpha;
    double MaxMeanError;
};

class WebpDecodes : public ::testing::TestWithParam<TWebpCase> {};

} // namespace

// Channels swapped or rows misplaced, alpha dropped or put over black, the wrong decode mode.
TEST_P(WebpDecodes, GivesTheOriginalWithinTheCodecsLoss) {
    const TWebpCase& c = GetParam();
    TempDir tmp;
    const std::string bytes = Encode(c.Lossless, c.Alpha);
    EXPECT_TRUE(IsWebpData(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
    const TDecodedPicture picture = LoadWebpFile(tmp.write("p.webp", bytes));
    EXPECT_LE(MeanError(PatternOverWhite(W, H, c.Alpha), W, H, picture), c.MaxMeanError);
    EXPECT_EQ(picture.Orientation, 1);
    EXPECT_TRUE(picture.Colour.Empty());
}

INSTANTIATE_TEST_SUITE_P(Variants, WebpDecodes,
                         ::testing::Values(TWebpCase{"Lossless", true, false, 0},
                                           TWebpCase{"LosslessAlphaOverWhite", true, true, 0},
                                           TWebpCase{"Lossy", false, false, 2.5},
                                           TWebpCase{"LossyAlphaOverWhite", false, true, 2.5}),
                         [](const auto& info) { return std::string(info.param.Name); });

// The EXIF chunk's orientation and the ICCP chunk's bytes are what the file carries, with the
// EXIF block stored either bare or behind an "Exif" header.
TEST(WebpFile, ReportsExifOrientationAndIccProfile) {
    TempDir tmp;
    const std::string tiff("MM\0\x2A\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0\x06\0\0\0\0\0\0",
                           26);
    const std::string icc(132, '\x5A');
    for (const std::string& exif : {tiff, std::string("Exif\0\0", 6) + tiff}) {
        const TDecodedPicture picture =
            LoadWebpFile(tmp.write("o.webp", WithChunks({{"EXIF", exif}, {"ICCP", icc}})));
        EXPECT_EQ(picture.Orientation, 6);
        EXPECT_EQ(std::string(picture.Colour.IccProfile.begin(), picture.Colour.IccProfile.end()),
                  icc);
        EXPECT_EQ(picture.Width, W); // stored size: the orientation is not applied
    }
}

// A cut, a damaged or a forged file must raise EImageError, never crash or allocate the forged
// size.
TEST(WebpFile, RefusesDamagedTruncatedAndForgedFiles) {
    TempDir tmp;
    for (const bool lossless : {true, false})
        ExpectCutsRefused(tmp, Encode(lossless, true), LoadWebpFile, {0.1, 0.5, 0.9, 0.99});
    std::string damaged = Encode(false, false);
    for (std::size_t i = 40; i < damaged.size(); i += 3)
        damaged[i] = static_cast<char>(0xFF);
    EXPECT_THROW(LoadWebpFile(tmp.write("d.webp", damaged)), EImageError);
    // A lossless header declaring 16384 x 16384 pixels followed by a few bytes.
    const std::string giant(
        "RIFF\x1A\0\0\0WEBPVP8L\x0D\0\0\0\x2F\xFF\xFF\xFF\x0F\0\0\0\0\0\0\0\0\0", 34);
    ExpectForgedSizeRefused(LoadWebpFile, tmp.write("g.webp", giant));
    EXPECT_THROW(LoadWebpFile(tmp.write("j.webp", "RIFF....WEBPVP8 ")), EImageError);
}
