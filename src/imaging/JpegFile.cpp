// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/JpegFile.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include <jpeglib.h>
// jpeglib.h first: jerror.h needs its types.
#include <jerror.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/FileUtils.h"
#include "base/KelErrors.h"
#include "imaging/BM_Resample.h"
#include "imaging/ExifOrientation.h"
#include "imaging/TBM_Bitmap.h"

// libjpeg reports errors by calling error_exit, which must not return. It jumps back with
// longjmp to the setjmp in Guard, and only libjpeg's C frames and trivially destructible
// lambdas lie in between, so no C++ destructor is skipped. Everything that owns something
// (file, decompressor, bitmap) lives outside Guard and is released by its destructor after
// Guard returns false and the caller raises.

namespace {

// A progressive file can hold any number of scans, each of which re-reads the whole picture;
// a hostile one uses that to make decoding take practically forever. Real files have ~10.
constexpr int MaxScans = 500;

struct TJpegError {
    jpeg_error_mgr Manager; // first member: libjpeg hands back a pointer to it
    std::jmp_buf Jump;
    char Message[JMSG_LENGTH_MAX];
    // Whether running out of data is fatal by itself; see EmitMessage.
    bool EndIsFatal;
};

TJpegError& ErrorOf(j_common_ptr info) {
    return *reinterpret_cast<TJpegError*>(info->err);
}

[[noreturn]] void ErrorExit(j_common_ptr info) {
    TJpegError& error = ErrorOf(info);
    (*info->err->format_message)(info, error.Message);
    std::longjmp(error.Jump, 1);
}

// Warnings are corrupt data that libjpeg papers over; nothing is printed. A picture whose
// data runs out would come out partly grey, so that is an error: the entropy decoder reports
// it (JWRN_HIT_MARKER) when it needs bits that are not there. The end of the file itself
// (JWRN_JPEG_EOF) is also met when only the end marker is missing and every bit of the
// picture is present, which loads. A file of several scans, though, can end cleanly between
// two of them and still lack part of the picture, so there the end is fatal too. Harmless
// warnings that many cameras cause (extraneous bytes before a marker) are ignored.
void EmitMessage(j_common_ptr info, int level) {
    if (level >= 0)
        return;
    const int code = info->err->msg_code;
    if (code == JWRN_HIT_MARKER || (code == JWRN_JPEG_EOF && ErrorOf(info).EndIsFatal))
        ErrorExit(info);
    ++info->err->num_warnings;
}

void OutputMessage(j_common_ptr) {}

void ProgressMonitor(j_common_ptr info) {
    if (!info->is_decompressor)
        return;
    if (reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > MaxScans) {
        TJpegError& error = ErrorOf(info);
        std::snprintf(error.Message, sizeof error.Message, "More than %d scans", MaxScans);
        std::longjmp(error.Jump, 1);
    }
}

void InitError(TJpegError& error) {
    jpeg_std_error(&error.Manager);
    error.Manager.error_exit = ErrorExit;
    error.Manager.emit_message = EmitMessage;
    error.Manager.output_message = OutputMessage;
    error.Message[0] = '\0';
    error.EndIsFatal = true;
}

// Runs step, which may only call libjpeg and plain C functions; false if libjpeg failed.
template <typename TStep>
bool Guard(TJpegError& error, const TStep& step) {
    if (setjmp(error.Jump) != 0)
        return false;
    step();
    return true;
}

struct TFileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using TFilePtr = std::unique_ptr<std::FILE, TFileCloser>;

TFilePtr OpenFile(const std::string& fileName, const char* mode) {
    TFilePtr file(std::fopen(fileName.c_str(), mode));
    if (!file)
        throw EFileError("Cannot open \"" + fileName + "\": " + std::strerror(errno));
    return file;
}

TFilePtr OpenForReading(const std::string& fileName) {
    const int fd = kelvo::OpenRegularFile(fileName);
    TFilePtr file(::fdopen(fd, "rb"));
    if (!file) {
        const int error = errno;
        ::close(fd);
        throw EFileError("Cannot open \"" + fileName + "\": " + std::strerror(error));
    }
    return file;
}

std::int64_t FileSize(std::FILE* file) {
    struct stat status {};
    return ::fstat(::fileno(file), &status) == 0 ? static_cast<std::int64_t>(status.st_size) : 0;
}

[[noreturn]] void RaiseDamaged(const std::string& fileName, const char* message) {
    throw EImageError("Cannot read the JPEG file \"" + fileName + "\": " + message);
}

struct TDecompressor {
    jpeg_decompress_struct Info{};
    TJpegError Error{};
    jpeg_progress_mgr Progress{};
    bool Created = false;

    TDecompressor() { InitError(Error); }
    TDecompressor(const TDecompressor&) = delete;
    TDecompressor& operator=(const TDecompressor&) = delete;
    ~TDecompressor() {
        if (Created)
            jpeg_destroy_decompress(&Info);
    }

    // Opens the stream and reads the headers, keeping the APP1 (EXIF) markers.
    void ReadHeader(const std::string& fileName, std::FILE* file) {
        Info.err = &Error.Manager;
        Created = true; // destroying a decompressor whose creation failed is safe
        jpeg_decompress_struct* info = &Info;
        jpeg_progress_mgr* progress = &Progress;
        const bool ok = Guard(Error, [info, progress, file] {
            jpeg_create_decompress(info);
            progress->progress_monitor = ProgressMonitor;
            info->progress = progress;
            jpeg_stdio_src(info, file);
            jpeg_save_markers(info, JPEG_APP0 + 1, 0xFFFF);
            jpeg_read_header(info, TRUE);
        });
        if (!ok)
            RaiseDamaged(fileName, Error.Message);
        Error.EndIsFatal = Info.progressive_mode || Info.comps_in_scan < Info.num_components;
    }
};

// The orientation tag of the first EXIF block, 1 to 8; 1 if there is none or it is invalid.
int ReadOrientation(const jpeg_decompress_struct& info) {
    static constexpr unsigned char ExifHeader[] = {'E', 'x', 'i', 'f', 0, 0};
    for (jpeg_saved_marker_ptr m = info.marker_list; m; m = m->next) {
        if (m->marker == JPEG_APP0 + 1 && m->data_length >= sizeof ExifHeader &&
            std::memcmp(m->data, ExifHeader, sizeof ExifHeader) == 0)
            return ExifOrientation(m->data, m->data_length);
    }
    return 1;
}

bool SwapsSides(int orientation) {
    return orientation >= 5;
}

// dest = stored turned upright. For each destination pixel (x, y) the source pixel is
// (ax x + bx y + cx, ay x + by y + cy); walking in tiles keeps the transposing orientations
// cache-friendly.
void Orient(const TBM_Bitmap& stored, TBM_Bitmap& dest, int orientation) {
    const int w = stored.Width();
    const int h = stored.Height();
    const bool swap = SwapsSides(orientation);
    dest.SetSize(0, 0);
    dest.SetSize(swap ? h : w, swap ? w : h);
    int ax = 1, bx = 0, cx = 0, ay = 0, by = 1, cy = 0;
    switch (orientation) {
    case 2: // mirrored left to right
        ax = -1, cx = w - 1;
        break;
    case 3: // turned by 180 degrees
        ax = -1, cx = w - 1, by = -1, cy = h - 1;
        break;
    case 4: // mirrored top to bottom
        by = -1, cy = h - 1;
        break;
    case 5: // mirrored along the main diagonal
        ax = 0, bx = 1, ay = 1, by = 0;
        break;
    case 6: // shot turned a quarter to the left: turn a quarter clockwise
        ax = 0, bx = 1, ay = -1, by = 0, cy = h - 1;
        break;
    case 7: // mirrored along the other diagonal
        ax = 0, bx = -1, cx = w - 1, ay = -1, by = 0, cy = h - 1;
        break;
    case 8: // turn a quarter counter-clockwise
        ax = 0, bx = -1, cx = w - 1, ay = 1, by = 0;
        break;
    default:
        break;
    }
    constexpr int Tile = 64;
    const int dw = dest.Width();
    const int dh = dest.Height();
    for (int ty = 0; ty < dh; ty += Tile) {
        for (int tx = 0; tx < dw; tx += Tile) {
            for (int y = ty; y < std::min(ty + Tile, dh); ++y) {
                std::uint8_t* out = dest.ScanLine(y);
                for (int x = tx; x < std::min(tx + Tile, dw); ++x) {
                    const int sx = ax * x + bx * y + cx;
                    const int sy = ay * x + by * y + cy;
                    std::memcpy(out + static_cast<std::size_t>(x) * TBM_Bitmap::BytesPerPixel,
                                stored.ScanLine(sy) +
                                    static_cast<std::size_t>(sx) * TBM_Bitmap::BytesPerPixel,
                                TBM_Bitmap::BytesPerPixel);
                }
            }
        }
    }
}

// Turns a row of CMYK (four bytes a pixel) into R, G, B, padding in place. Files with an Adobe
// marker (Photoshop and most others) store the inks inverted.
void CmykToRgb(std::uint8_t* row, int width, bool inverted) {
    for (int x = 0; x < width; ++x, row += 4) {
        int c = row[0], m = row[1], y = row[2], k = row[3];
        if (!inverted) {
            c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
        }
        // Now each value is 255 minus the ink: the light that passes it.
        row[0] = static_cast<std::uint8_t>((c * k + 127) / 255);
        row[1] = static_cast<std::uint8_t>((m * k + 127) / 255);
        row[2] = static_cast<std::uint8_t>((y * k + 127) / 255);
        row[3] = 0;
    }
}

} // namespace

TJpegInfo ReadJpegInfo(const std::string& fileName) {
    const TFilePtr file = OpenForReading(fileName);
    TDecompressor d;
    d.ReadHeader(fileName, file.get());
    TJpegInfo result;
    result.Orientation = ReadOrientation(d.Info);
    const bool swap = SwapsSides(result.Orientation);
    result.Width = static_cast<int>(swap ? d.Info.image_height : d.Info.image_width);
    result.Height = static_cast<int>(swap ? d.Info.image_width : d.Info.image_height);
    return result;
}

namespace {

// A decompressor with its headers read and its output chosen: RGB with a padding byte (CMYK
// still to be converted) at 1/scaleDenom of the stored size.
struct TDecodeSetup {
    int Orientation = 1;
    bool Cmyk = false;
};

TDecodeSetup PrepareDecode(const std::string& fileName, std::FILE* file, TDecompressor& d,
                           int scaleDenom) {
    if (scaleDenom != 1 && scaleDenom != 2 && scaleDenom != 4 && scaleDenom != 8)
        throw EImageError("Unsupported JPEG scale 1/" + std::to_string(scaleDenom));
    d.ReadHeader(fileName, file);
    jpeg_decompress_struct* info = &d.Info;
    try {
        // The limits apply to the picture in the file: libjpeg's own buffers follow its size,
        // also when only a reduced copy is decoded.
        TBM_Bitmap::CheckSize(info->image_width, info->image_height);
        TBM_Bitmap::CheckDataSize(info->image_width, info->image_height, FileSize(file));
    } catch (const EImageError& e) {
        RaiseDamaged(fileName, e.what());
    }
    TDecodeSetup setup;
    setup.Orientation = ReadOrientation(d.Info);
    switch (info->jpeg_color_space) {
    case JCS_GRAYSCALE:
    case JCS_RGB:
    case JCS_YCbCr:
        info->out_color_space = JCS_EXT_RGBX;
        break;
    case JCS_CMYK:
    case JCS_YCCK:
        info->out_color_space = JCS_CMYK; // libjpeg cannot turn CMYK into RGB itself
        setup.Cmyk = true;
        break;
    default:
        RaiseDamaged(fileName, "Unsupported colour space");
    }
    info->scale_num = 1;
    info->scale_denom = static_cast<unsigned int>(scaleDenom);
    info->dct_method = JDCT_ISLOW;
    info->do_fancy_upsampling = TRUE;
    if (!Guard(d.Error, [info] { jpeg_calc_output_dimensions(info); }))
        RaiseDamaged(fileName, d.Error.Message);
    return setup;
}

} // namespace

void LoadJpegFile(const std::string& fileName, TBM_Bitmap& bitmap, int scaleDenom) {
    const TFilePtr file = OpenForReading(fileName);
    TDecompressor d;
    const TDecodeSetup setup = PrepareDecode(fileName, file.get(), d, scaleDenom);
    jpeg_decompress_struct* info = &d.Info;

    TBM_Bitmap stored;
    TBM_Bitmap& target = setup.Orientation == 1 ? bitmap : stored;
    target.SetSize(0, 0);
    target.SetSize(static_cast<int>(info->output_width), static_cast<int>(info->output_height));
    std::vector<JSAMPROW> rows(info->output_height);
    for (std::size_t y = 0; y < rows.size(); ++y)
        rows[y] = target.ScanLine(static_cast<int>(y));
    JSAMPROW* rowData = rows.data();
    const bool ok = Guard(d.Error, [info, rowData] {
        jpeg_start_decompress(info);
        while (info->output_scanline < info->output_height)
            jpeg_read_scanlines(info, rowData + info->output_scanline,
                                info->output_height - info->output_scanline);
        // No jpeg_finish_decompress: the picture is complete here, and a file that lacks only
        // its end marker loads; destroying the decompressor releases everything.
    });
    if (!ok)
        RaiseDamaged(fileName, d.Error.Message);
    if (setup.Cmyk) {
        for (int y = 0; y < target.Height(); ++y)
            CmykToRgb(target.ScanLine(y), target.Width(), info->saw_Adobe_marker);
    }
    if (setup.Orientation != 1)
        Orient(stored, bitmap, setup.Orientation);
}

void LoadJpegFileResampled(const std::string& fileName, const std::vector<TBM_Bitmap*>& dests,
                           int scaleDenom) {
    const TFilePtr file = OpenForReading(fileName);
    TDecompressor d;
    const TDecodeSetup setup = PrepareDecode(fileName, file.get(), d, scaleDenom);
    jpeg_decompress_struct* info = &d.Info;
    const auto width = static_cast<int>(info->output_width);
    const auto height = static_cast<int>(info->output_height);
    TBM_BandResampler band(width, height, setup.Orientation, dests);

    if (!Guard(d.Error, [info] { jpeg_start_decompress(info); }))
        RaiseDamaged(fileName, d.Error.Message);
    std::array<JSAMPROW, TBM_BandResampler::MaxBatch> rows{};
    while (static_cast<int>(info->output_scanline) < height) {
        const int first = static_cast<int>(info->output_scanline);
        const int count = std::min(TBM_BandResampler::MaxBatch, height - first);
        for (int i = 0; i < count; ++i)
            rows[static_cast<std::size_t>(i)] = band.Row(first + i);
        JSAMPROW* rowData = rows.data();
        JDIMENSION got = 0;
        if (!Guard(d.Error, [info, rowData, count, &got] {
                got = jpeg_read_scanlines(info, rowData, static_cast<JDIMENSION>(count));
            }))
            RaiseDamaged(fileName, d.Error.Message);
        if (got == 0) // a data source that cannot suspend never does this; do not spin on it
            RaiseDamaged(fileName, "No more rows");
        if (setup.Cmyk) {
            for (JDIMENSION i = 0; i < got; ++i)
                CmykToRgb(rows[i], width, info->saw_Adobe_marker);
        }
        band.RowsArrived(first + static_cast<int>(got));
    }
}

int ReducedScaleDenom(int width, int height, int minWidth, int minHeight) {
    for (const int denom : {8, 4, 2}) {
        // The decoder rounds each reduced side up.
        if ((width + denom - 1) / denom >= minWidth && (height + denom - 1) / denom >= minHeight)
            return denom;
    }
    return 1;
}

void SaveJpegFile(const std::string& fileName, const TBM_Bitmap& bitmap, int quality) {
    if (bitmap.Width() <= 0 || bitmap.Height() <= 0)
        throw EImageError("Cannot save an empty picture as \"" + fileName + "\"");
    std::vector<JSAMPROW> rows(static_cast<std::size_t>(bitmap.Height()));
    for (std::size_t y = 0; y < rows.size(); ++y) // libjpeg only reads them
        rows[y] = const_cast<JSAMPROW>(bitmap.ScanLine(static_cast<int>(y)));

    TFilePtr file = OpenFile(fileName, "wb");
    jpeg_compress_struct info{};
    TJpegError error{};
    InitError(error);
    info.err = &error.Manager;
    jpeg_compress_struct* c = &info;
    std::FILE* out = file.get();
    JSAMPROW* rowData = rows.data();
    const auto width = static_cast<JDIMENSION>(bitmap.Width());
    const auto height = static_cast<JDIMENSION>(bitmap.Height());
    quality = std::clamp(quality, 1, 100);
    bool ok = Guard(error, [c, out, rowData, width, height, quality] {
        jpeg_create_compress(c);
        jpeg_stdio_dest(c, out);
        c->image_width = width;
        c->image_height = height;
        c->input_components = TBM_Bitmap::BytesPerPixel;
        c->in_color_space = JCS_EXT_RGBX;
        jpeg_set_defaults(c);
        jpeg_set_quality(c, quality, TRUE);
        c->dct_method = JDCT_ISLOW;
        jpeg_start_compress(c, TRUE);
        while (c->next_scanline < c->image_height)
            jpeg_write_scanlines(c, rowData + c->next_scanline, c->image_height - c->next_scanline);
        jpeg_finish_compress(c);
    });
    jpeg_destroy_compress(&info);
    int writeErrno = std::ferror(out) ? (errno != 0 ? errno : EIO) : 0;
    if (std::fclose(file.release()) != 0 && writeErrno == 0)
        writeErrno = errno != 0 ? errno : EIO;
    if (!ok || writeErrno != 0) {
        std::remove(fileName.c_str());
        const std::string reason = ok ? std::strerror(writeErrno) : error.Message;
        throw EFileError("Cannot write \"" + fileName + "\": " + reason);
    }
}
