// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/TColourConverter.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_map>
#include <vector>

#include <lcms2.h>

namespace {

// A profile made of three tone curves and a matrix, converted to sRGB by table lookups and one
// matrix product a pixel in fixed point: the arithmetic of Little CMS's own transform for such
// profiles at a third of the cost of its general 8-bit path, which costs more than decoding
// the JPEG.
struct TMatrixShaper {
    // Linear light and the matrix in fixed point with this many fraction bits; sums stay inside
    // 32 bits for coefficients below 4 in size, which covers any real pair of RGB spaces
    // (ProPhoto to sRGB needs about 2).
    static constexpr int Bits = 13;
    static constexpr int One = 1 << Bits;
    std::int32_t In[3][256];
    std::int32_t Matrix[3][3];
    std::uint8_t Out[One + 1];

    void Convert(const std::uint8_t* in, std::uint8_t* out, int width) const {
        // Locals, because every byte stored through out could otherwise be one of the tables
        // for all the compiler knows, and they would be read again for every pixel.
        std::int32_t m[3][3];
        std::memcpy(m, Matrix, sizeof m);
        const std::int32_t* red = In[0];
        const std::int32_t* green = In[1];
        const std::int32_t* blue = In[2];
        const std::uint8_t* encode = Out;
        const auto index = [](std::int32_t v) {
            v = (v + One / 2) >> Bits;
            return v < 0 ? 0 : v > One ? One : v;
        };
        for (int x = 0; x < width; ++x, in += 4, out += 4) {
            const std::int32_t r = red[in[0]], g = green[in[1]], b = blue[in[2]];
            const std::int32_t i0 = index(m[0][0] * r + m[0][1] * g + m[0][2] * b);
            const std::int32_t i1 = index(m[1][0] * r + m[1][1] * g + m[1][2] * b);
            const std::int32_t i2 = index(m[2][0] * r + m[2][1] * g + m[2][2] * b);
            out[0] = encode[i0];
            out[1] = encode[i1];
            out[2] = encode[i2];
        }
    }
};

} // namespace

struct TColourConverter::TTransform {
    cmsHTRANSFORM Handle = nullptr;
    std::unique_ptr<TMatrixShaper> Fast; // for 8-bit RGB rows when the profile allows
    explicit TTransform(cmsHTRANSFORM handle)
        : Handle(handle) {}
    TTransform(const TTransform&) = delete;
    TTransform& operator=(const TTransform&) = delete;
    ~TTransform() { cmsDeleteTransform(Handle); }
};

namespace {

struct TProfileCloser {
    void operator()(void* profile) const { cmsCloseProfile(profile); }
};
using TProfile = std::unique_ptr<void, TProfileCloser>;

struct TCurveFree {
    void operator()(cmsToneCurve* curve) const { cmsFreeToneCurve(curve); }
};
using TCurve = std::unique_ptr<cmsToneCurve, TCurveFree>;

// What a colour description comes to: a transform into sRGB, or none with the reason why not
// (empty when the description is sRGB itself).
struct TEntry {
    std::shared_ptr<const TColourConverter::TTransform> Transform;
    std::string Warning;
};

// H.273 colour primaries as chromaticities: red, green, blue, then the white point.
struct TPrimaries {
    int Code;
    double Xy[8];
};
constexpr TPrimaries KnownPrimaries[] = {
    {1, {0.640, 0.330, 0.300, 0.600, 0.150, 0.060, 0.3127, 0.3290}},  // BT.709, sRGB
    {4, {0.670, 0.330, 0.210, 0.710, 0.140, 0.080, 0.310, 0.316}},    // BT.470 M
    {5, {0.640, 0.330, 0.290, 0.600, 0.150, 0.060, 0.3127, 0.3290}},  // BT.601 625 lines
    {6, {0.630, 0.340, 0.310, 0.595, 0.155, 0.070, 0.3127, 0.3290}},  // BT.601 525 lines
    {7, {0.630, 0.340, 0.310, 0.595, 0.155, 0.070, 0.3127, 0.3290}},  // SMPTE 240M
    {9, {0.708, 0.292, 0.170, 0.797, 0.131, 0.046, 0.3127, 0.3290}},  // BT.2020
    {11, {0.680, 0.320, 0.265, 0.690, 0.150, 0.060, 0.314, 0.351}},   // DCI-P3
    {12, {0.680, 0.320, 0.265, 0.690, 0.150, 0.060, 0.3127, 0.3290}}, // Display P3
};

// The tone curve of an H.273 transfer characteristic, or null for one Kelvo cannot show. The
// video curves (BT.709, BT.601, BT.2020) are taken as sRGB's, as browsers display them.
TCurve TransferCurve(int code) {
    switch (code) {
    case 1:
    case 2: // unspecified
    case 6:
    case 13:
    case 14:
    case 15: {
        const cmsFloat64Number srgb[] = {2.4, 1 / 1.055, 0.055 / 1.055, 1 / 12.92, 0.04045};
        return TCurve(cmsBuildParametricToneCurve(nullptr, 4, srgb));
    }
    case 4:
        return TCurve(cmsBuildGamma(nullptr, 2.2));
    case 5:
        return TCurve(cmsBuildGamma(nullptr, 2.8));
    case 8:
        return TCurve(cmsBuildGamma(nullptr, 1.0));
    default:
        return nullptr;
    }
}

// The RGB profile an nclx description stands for; null with why not in warning.
TProfile NclxProfile(const TPictureColour& colour, std::string& warning) {
    if (colour.TransferCharacteristics == 16 || colour.TransferCharacteristics == 18) {
        warning = "HDR colours (PQ or HLG) are shown as if they were sRGB";
        return nullptr;
    }
    const int primariesCode = colour.ColourPrimaries == 2 ? 1 : colour.ColourPrimaries;
    const auto primaries =
        std::find_if(std::begin(KnownPrimaries), std::end(KnownPrimaries),
                     [&](const TPrimaries& p) { return p.Code == primariesCode; });
    TCurve curve = TransferCurve(colour.TransferCharacteristics);
    if (primaries == std::end(KnownPrimaries) || !curve) {
        warning = "Unknown colour description (primaries " +
                  std::to_string(colour.ColourPrimaries) + ", transfer " +
                  std::to_string(colour.TransferCharacteristics) + "); taken as sRGB";
        return nullptr;
    }
    const double* xy = primaries->Xy;
    const cmsCIExyY white{xy[6], xy[7], 1.0};
    const cmsCIExyYTRIPLE rgb{{xy[0], xy[1], 1.0}, {xy[2], xy[3], 1.0}, {xy[4], xy[5], 1.0}};
    cmsToneCurve* curves[3] = {curve.get(), curve.get(), curve.get()};
    return TProfile(cmsCreateRGBProfile(&white, &rgb, curves));
}

TProfile SrgbProfile() {
    return TProfile(cmsCreate_sRGBProfile());
}

// Whether an RGB profile is sRGB in all but name: converting a spread of colours from it to
// sRGB moves none by more than one step. Tested, not compared by name or checksum, because
// cameras and editors each embed their own copy of sRGB.
bool IsSrgb(void* profile, void* srgb) {
    const cmsHTRANSFORM probe = cmsCreateTransform(profile, TYPE_RGB_8, srgb, TYPE_RGB_8,
                                                   INTENT_RELATIVE_COLORIMETRIC, cmsFLAGS_NOCACHE);
    if (!probe)
        return false;
    std::vector<std::uint8_t> in;
    for (int v = 0; v < 256; ++v)
        in.insert(in.end(), {std::uint8_t(v), std::uint8_t(v), std::uint8_t(v)});
    for (int v = 0; v < 256; v += 5)
        in.insert(in.end(), {std::uint8_t(v), 0, 0, 0, std::uint8_t(v), 0, 0, 0, std::uint8_t(v)});
    for (int r = 0; r < 256; r += 51)
        for (int g = 0; g < 256; g += 51)
            for (int b = 0; b < 256; b += 51)
                in.insert(in.end(), {std::uint8_t(r), std::uint8_t(g), std::uint8_t(b)});
    std::vector<std::uint8_t> out(in.size());
    cmsDoTransform(probe, in.data(), out.data(), static_cast<cmsUInt32Number>(in.size() / 3));
    cmsDeleteTransform(probe);
    for (std::size_t i = 0; i < in.size(); ++i)
        if (std::abs(int(in[i]) - int(out[i])) > 1)
            return false;
    return true;
}

cmsUInt32Number InputFormat(TSampleLayout layout) {
    switch (layout) {
    case TSampleLayout::Rgbx8:
        return TYPE_RGBA_8;
    case TSampleLayout::Rgbx16:
        return TYPE_RGBA_16;
    case TSampleLayout::Cmyk8:
        return TYPE_CMYK_8;
    case TSampleLayout::InvertedCmyk8:
        return TYPE_CMYK_8_REV;
    }
    return TYPE_RGBA_8;
}

bool IsCmyk(TSampleLayout layout) {
    return layout == TSampleLayout::Cmyk8 || layout == TSampleLayout::InvertedCmyk8;
}

// The columns of a matrix/TRC profile's colorants (XYZ, adapted to D50); false if it has none.
bool Colorants(void* profile, double (&m)[3][3]) {
    const cmsTagSignature tags[3] = {cmsSigRedColorantTag, cmsSigGreenColorantTag,
                                     cmsSigBlueColorantTag};
    for (int c = 0; c < 3; ++c) {
        const auto* xyz = static_cast<const cmsCIEXYZ*>(cmsReadTag(profile, tags[c]));
        if (!xyz)
            return false;
        m[0][c] = xyz->X, m[1][c] = xyz->Y, m[2][c] = xyz->Z;
    }
    return true;
}

bool Invert(const double (&m)[3][3], double (&inverse)[3][3]) {
    const double det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
                       m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                       m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    if (std::abs(det) < 1e-9)
        return false;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            const int r1 = (c + 1) % 3, r2 = (c + 2) % 3, c1 = (r + 1) % 3, c2 = (r + 2) % 3;
            inverse[r][c] = (m[r1][c1] * m[r2][c2] - m[r1][c2] * m[r2][c1]) / det;
        }
    return true;
}

// The table form of a profile that is only curves and a matrix (no tables of its own, which
// Little CMS would use for some intents); null for any other.
std::unique_ptr<TMatrixShaper> MatrixShaper(void* profile, void* srgb) {
    if (!cmsIsMatrixShaper(profile) || cmsIsCLUT(profile, INTENT_PERCEPTUAL, LCMS_USED_AS_INPUT) ||
        cmsIsCLUT(profile, INTENT_RELATIVE_COLORIMETRIC, LCMS_USED_AS_INPUT))
        return nullptr;
    double source[3][3], target[3][3], toSrgb[3][3];
    if (!Colorants(profile, source) || !Colorants(srgb, target) || !Invert(target, toSrgb))
        return nullptr;
    auto fast = std::make_unique<TMatrixShaper>();
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            const double value = toSrgb[r][0] * source[0][c] + toSrgb[r][1] * source[1][c] +
                                 toSrgb[r][2] * source[2][c];
            if (!(std::abs(value) < 4)) // also refuses NaN from a damaged profile
                return nullptr;
            fast->Matrix[r][c] = static_cast<std::int32_t>(std::lround(value * TMatrixShaper::One));
        }
    }
    const cmsTagSignature curves[3] = {cmsSigRedTRCTag, cmsSigGreenTRCTag, cmsSigBlueTRCTag};
    for (int c = 0; c < 3; ++c) {
        const auto* curve = static_cast<const cmsToneCurve*>(cmsReadTag(profile, curves[c]));
        if (!curve)
            return nullptr;
        for (int v = 0; v < 256; ++v) {
            const double linear =
                cmsEvalToneCurveFloat(curve, static_cast<cmsFloat32Number>(v / 255.0));
            // Clamped, also against NaN, so that the sums cannot overflow.
            const double clamped = linear > 0 ? std::min(linear, 1.0) : 0.0;
            fast->In[c][v] = static_cast<std::int32_t>(std::lround(clamped * TMatrixShaper::One));
        }
    }
    const auto* srgbCurve = static_cast<const cmsToneCurve*>(cmsReadTag(srgb, cmsSigRedTRCTag));
    cmsToneCurve* encode = srgbCurve ? cmsReverseToneCurve(srgbCurve) : nullptr;
    if (!encode)
        return nullptr;
    for (int i = 0; i <= TMatrixShaper::One; ++i) {
        const double v = cmsEvalToneCurveFloat(
            encode, static_cast<cmsFloat32Number>(static_cast<double>(i) / TMatrixShaper::One));
        fast->Out[i] = static_cast<std::uint8_t>(std::clamp(v * 255.0 + 0.5, 0.0, 255.0));
    }
    cmsFreeToneCurve(encode);
    return fast;
}

TEntry MakeEntry(const TPictureColour& colour, TSampleLayout layout) {
    TEntry entry;
    TProfile profile;
    if (!colour.IccProfile.empty()) {
        profile.reset(cmsOpenProfileFromMem(
            colour.IccProfile.data(), static_cast<cmsUInt32Number>(colour.IccProfile.size())));
        if (!profile) {
            entry.Warning = "Damaged colour profile; colours taken as sRGB";
            return entry;
        }
    } else {
        profile = NclxProfile(colour, entry.Warning);
        if (!profile)
            return entry;
    }
    // The colour space as the profile's header states it (bytes 16 to 19), read here because
    // a damaged profile may name one that is no value of Little CMS's enumeration.
    std::uint32_t space = cmsSigRgbData;
    if (!colour.IccProfile.empty()) {
        const std::uint8_t* header = colour.IccProfile.data();
        space = colour.IccProfile.size() < 20
                    ? 0
                    : std::uint32_t{header[16]} << 24 | std::uint32_t{header[17]} << 16 |
                          std::uint32_t{header[18]} << 8 | header[19];
    }
    // A grey profile describes the grey the file stores before it is widened to RGB; its
    // curve is near enough sRGB's that the picture is shown as it is.
    if (space == static_cast<std::uint32_t>(cmsSigGrayData) && !IsCmyk(layout))
        return entry;
    if (space != static_cast<std::uint32_t>(IsCmyk(layout) ? cmsSigCmykData : cmsSigRgbData)) {
        entry.Warning = "The colour profile does not fit the picture's colours; taken as sRGB";
        return entry;
    }
    const TProfile srgb = SrgbProfile();
    if (!IsCmyk(layout) && IsSrgb(profile.get(), srgb.get()))
        return entry;
    const cmsUInt32Number intent =
        cmsIsIntentSupported(profile.get(), INTENT_PERCEPTUAL, LCMS_USED_AS_INPUT)
            ? INTENT_PERCEPTUAL
            : INTENT_RELATIVE_COLORIMETRIC;
    // No cache inside the transform: it is shared between threads.
    const cmsHTRANSFORM handle = cmsCreateTransform(profile.get(), InputFormat(layout), srgb.get(),
                                                    TYPE_RGBA_8, intent, cmsFLAGS_NOCACHE);
    if (!handle) {
        entry.Warning = "Unusable colour profile; colours taken as sRGB";
        return entry;
    }
    auto transform = std::make_shared<TColourConverter::TTransform>(handle);
    if (layout == TSampleLayout::Rgbx8)
        transform->Fast = MatrixShaper(profile.get(), srgb.get());
    entry.Transform = std::move(transform);
    return entry;
}

// Descriptions seen so far. Bounded, since a run over hostile files could bring a new profile
// with each; a converter keeps its transform alive when the cache lets go of it.
class TTransformCache {
public:
    TEntry Get(const TPictureColour& colour, TSampleLayout layout) {
        std::string key(1, static_cast<char>('0' + static_cast<int>(layout)));
        if (!colour.IccProfile.empty())
            key.append(colour.IccProfile.begin(), colour.IccProfile.end());
        else
            key += "nclx " + std::to_string(colour.ColourPrimaries) + " " +
                   std::to_string(colour.TransferCharacteristics);
        const std::lock_guard lock(m_mutex);
        const auto found = m_entries.find(key);
        if (found != m_entries.end())
            return found->second;
        if (m_entries.size() >= MaxEntries)
            m_entries.clear();
        return m_entries.emplace(std::move(key), MakeEntry(colour, layout)).first->second;
    }

private:
    static constexpr std::size_t MaxEntries = 32;
    std::mutex m_mutex;
    std::unordered_map<std::string, TEntry> m_entries;
};

TTransformCache& Cache() {
    static TTransformCache cache;
    return cache;
}

// Turns a row of CMYK into R, G, B, padding, in place or not.
void CmykToRgb(const std::uint8_t* in, std::uint8_t* out, int width, bool inverted) {
    for (int x = 0; x < width; ++x, in += 4, out += 4) {
        int c = in[0], m = in[1], y = in[2], k = in[3];
        if (!inverted) {
            c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
        }
        // Now each value is 255 minus the ink: the light that passes it.
        out[0] = static_cast<std::uint8_t>((c * k + 127) / 255);
        out[1] = static_cast<std::uint8_t>((m * k + 127) / 255);
        out[2] = static_cast<std::uint8_t>((y * k + 127) / 255);
        out[3] = 0;
    }
}

void Rgbx16ToRgbx8(const std::uint8_t* in, std::uint8_t* out, int width) {
    for (int i = 0; i < width * 4; ++i) {
        std::uint16_t v;
        std::memcpy(&v, in + 2 * i, sizeof v);
        out[i] = static_cast<std::uint8_t>((v * 255u + 32767u) / 65535u);
    }
}

} // namespace

TColourConverter::TColourConverter(const TPictureColour& colour, TSampleLayout layout)
    : m_layout(layout) {
    if (colour.Empty())
        return;
    TEntry entry = Cache().Get(colour, layout);
    m_transform = std::move(entry.Transform);
    m_warning = std::move(entry.Warning);
}

TColourConverter::~TColourConverter() = default;

void TColourConverter::Convert(const std::uint8_t* in, std::uint8_t* out, int width) const {
    if (m_transform && m_transform->Fast) {
        m_transform->Fast->Convert(in, out, width);
        return;
    }
    if (m_transform) {
        cmsDoTransform(m_transform->Handle, in, out, static_cast<cmsUInt32Number>(width));
        return;
    }
    switch (m_layout) {
    case TSampleLayout::Rgbx8:
        if (in != out)
            std::memcpy(out, in, static_cast<std::size_t>(width) * 4);
        break;
    case TSampleLayout::Rgbx16:
        Rgbx16ToRgbx8(in, out, width);
        break;
    case TSampleLayout::Cmyk8:
    case TSampleLayout::InvertedCmyk8:
        CmykToRgb(in, out, width, m_layout == TSampleLayout::InvertedCmyk8);
        break;
    }
}
