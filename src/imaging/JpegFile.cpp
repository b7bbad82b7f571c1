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
#include "imaging/ExifOrientation.h"
#include "imaging/LoadPicture.h"
#include "imaging/TBM_Bitmap.h"
#include "imaging/TPictureReader.h"

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

    // Opens the stream and reads the headers, keeping the APP1 (EXIF) and APP2 (ICC profile)
    // markers.
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
            jpeg_save_markers(info, JPEG_APP0 + 2, 0xFFFF);
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

// The profile of the APP2 markers, put together from its pieces; empty when there is none. A
// warning when there are pieces that do not make up a profile.
std::vector<std::uint8_t> ReadIccProfile(jpeg_decompress_struct* info, std::string& warning) {
    static constexpr unsigned char IccHeader[] = {'I', 'C', 'C', '_', 'P', 'R',
                                                  'O', 'F', 'I', 'L', 'E', 0};
    bool marked = false;
    for (jpeg_saved_marker_ptr m = info->marker_list; m && !marked; m = m->next)
        marked = m->marker == JPEG_APP0 + 2 && m->data_length >= sizeof IccHeader &&
                 std::memcmp(m->data, IccHeader, sizeof IccHeader) == 0;
    if (!marked)
        return {};
    JOCTET* data = nullptr;
    unsigned int length = 0;
    // Bad pieces are only warnings to libjpeg, which EmitMessage counts; nothing jumps here.
    if (!jpeg_read_icc_profile(info, &data, &length) || !data) {
        warning = "Damaged colour profile; colours taken as sRGB";
        return {};
    }
    std::vector<std::uint8_t> profile(data, data + length);
    std::free(data);
    return profile;
}

// A JPEG decoded row by row, as R, G, B, padding or as CMYK.
class TJpegReader final : public TPictureReader {
public:
    TJpegReader(const std::string& fileName, int scaleDenom)
        : m_fileName(fileName)
        , m_file(OpenForReading(fileName)) {
        m_d.ReadHeader(fileName, m_file.get());
        jpeg_decompress_struct* info = &m_d.Info;
        try {
            // The limits apply to the picture in the file: libjpeg's own buffers follow its
            // size, also when only a reduced copy is decoded.
            TBM_Bitmap::CheckSize(info->image_width, info->image_height);
            TBM_Bitmap::CheckDataSize(info->image_width, info->image_height,
                                      FileSize(m_file.get()));
        } catch (const EImageError& e) {
            RaiseDamaged(fileName, e.what());
        }
        m_info.Orientation = ReadOrientation(*info);
        switch (info->jpeg_color_space) {
        case JCS_GRAYSCALE:
        case JCS_RGB:
        case JCS_YCbCr:
            info->out_color_space = JCS_EXT_RGBX;
            m_info.Layout = TSampleLayout::Rgbx8;
            break;
        case JCS_CMYK:
        case JCS_YCCK:
            info->out_color_space = JCS_CMYK; // libjpeg cannot turn CMYK into RGB itself
            // Files with an Adobe marker (Photoshop and most others) store the inks inverted.
            m_info.Layout =
                info->saw_Adobe_marker ? TSampleLayout::InvertedCmyk8 : TSampleLayout::Cmyk8;
            break;
        default:
            RaiseDamaged(fileName, "Unsupported colour space");
        }
        m_info.Colour.IccProfile = ReadIccProfile(info, m_info.ColourWarning);
        info->dct_method = JDCT_ISLOW;
        info->do_fancy_upsampling = TRUE;
        SetScale(scaleDenom);
    }

    void ReduceTo(int minWidth, int minHeight) override {
        const bool swap = SwapsSides(m_info.Orientation);
        const auto width = static_cast<int>(m_d.Info.image_width);
        const auto height = static_cast<int>(m_d.Info.image_height);
        SetScale(
            ReducedScaleDenom(swap ? height : width, swap ? width : height, minWidth, minHeight));
    }

    void ReadRows(TRows& rows) override {
        jpeg_decompress_struct* info = &m_d.Info;
        if (!Guard(m_d.Error, [info] { jpeg_start_decompress(info); }))
            RaiseDamaged(m_fileName, m_d.Error.Message);
        const int height = m_info.Height;
        std::array<JSAMPROW, MaxBatch> batch{};
        while (static_cast<int>(info->output_scanline) < height) {
            const int first = static_cast<int>(info->output_scanline);
            const int count = std::min(MaxBatch, height - first);
            for (int i = 0; i < count; ++i)
                batch[static_cast<std::size_t>(i)] = rows.Row(first + i);
            JSAMPROW* rowData = batch.data();
            JDIMENSION got = 0;
            if (!Guard(m_d.Error, [info, rowData, count, &got] {
                    got = jpeg_read_scanlines(info, rowData, static_cast<JDIMENSION>(count));
                }))
                RaiseDamaged(m_fileName, m_d.Error.Message);
            if (got == 0) // a data source that cannot suspend never does this; do not spin on it
                RaiseDamaged(m_fileName, "No more rows");
            rows.RowsArrived(first + static_cast<int>(got));
        }
        // No jpeg_finish_decompress: the picture is complete here, and a file that lacks only
        // its end marker loads; destroying the decompressor releases everything.
    }

private:
    void SetScale(int scaleDenom) {
        if (scaleDenom != 1 && scaleDenom != 2 && scaleDenom != 4 && scaleDenom != 8)
            throw EImageError("Unsupported JPEG scale 1/" + std::to_string(scaleDenom));
        jpeg_decompress_struct* info = &m_d.Info;
        info->scale_num = 1;
        info->scale_denom = static_cast<unsigned int>(scaleDenom);
        if (!Guard(m_d.Error, [info] { jpeg_calc_output_dimensions(info); }))
            RaiseDamaged(m_fileName, m_d.Error.Message);
        m_info.Width = static_cast<int>(info->output_width);
        m_info.Height = static_cast<int>(info->output_height);
    }

    std::string m_fileName;
    TFilePtr m_file;
    TDecompressor m_d;
};

} // namespace

bool IsJpegData(const std::uint8_t* data, std::size_t size) {
    return size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF;
}

std::unique_ptr<TPictureReader> OpenJpegPicture(const std::string& fileName, int scaleDenom) {
    return std::make_unique<TJpegReader>(fileName, scaleDenom);
}

void LoadJpegFile(const std::string& fileName, TBM_Bitmap& bitmap, int scaleDenom) {
    TJpegReader reader(fileName, scaleDenom);
    LoadUpright(reader, bitmap);
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
