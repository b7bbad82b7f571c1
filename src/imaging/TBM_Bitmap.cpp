// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/TBM_Bitmap.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <utility>

#include "base/KelErrors.h"
#include "imaging/HugePages.h"

namespace {

std::string SizeText(std::int64_t width, std::int64_t height) {
    return std::to_string(width) + " x " + std::to_string(height);
}

} // namespace

void TBM_Bitmap::CheckSize(std::int64_t width, std::int64_t height) {
    if (width < 0 || height < 0)
        throw EImageError("Invalid picture size " + SizeText(width, height));
    if (width > MaxDimension || height > MaxDimension)
        throw EImageError("A picture of " + SizeText(width, height) +
                          " pixels is larger than 65535 pixels per side");
    if (width * height > MaxPixels)
        throw EImageError("A picture of " + SizeText(width, height) +
                          " pixels is larger than 512 megapixels");
}

void TBM_Bitmap::CheckDataSize(std::int64_t width, std::int64_t height, std::int64_t dataBytes) {
    const std::int64_t pixels = width * height;
    if (pixels > MaxPixelsAnyData && pixels / MaxPixelsPerDataByte > dataBytes)
        throw EImageError("A picture of " + SizeText(width, height) + " pixels cannot come from " +
                          std::to_string(dataBytes) + " bytes of data");
}

TBM_Bitmap::TBM_Bitmap(const TBM_Bitmap& other) {
    *this = other;
}

TBM_Bitmap& TBM_Bitmap::operator=(const TBM_Bitmap& other) {
    if (this == &other)
        return *this;
    const std::size_t bytes = other.RowBytes() * static_cast<std::size_t>(other.m_height);
    std::unique_ptr<std::uint8_t[], FreeDeleter> copy;
    if (bytes > 0) {
        copy.reset(static_cast<std::uint8_t*>(std::malloc(bytes)));
        if (!copy)
            throw std::bad_alloc();
        std::memcpy(copy.get(), other.m_pixels.get(), bytes);
    }
    m_pixels = std::move(copy);
    m_width = other.m_width;
    m_height = other.m_height;
    return *this;
}

TBM_Bitmap::TBM_Bitmap(TBM_Bitmap&& other) noexcept
    : m_width(std::exchange(other.m_width, 0))
    , m_height(std::exchange(other.m_height, 0))
    , m_pixels(std::move(other.m_pixels)) {}

TBM_Bitmap& TBM_Bitmap::operator=(TBM_Bitmap&& other) noexcept {
    m_width = std::exchange(other.m_width, 0);
    m_height = std::exchange(other.m_height, 0);
    m_pixels = std::move(other.m_pixels);
    return *this;
}

void TBM_Bitmap::SetSize(int newWidth, int newHeight) {
    CheckSize(newWidth, newHeight);
    if (newWidth == m_width && newHeight == m_height)
        return;
    const std::size_t newRowBytes = static_cast<std::size_t>(newWidth) * BytesPerPixel;
    const std::size_t bytes = newRowBytes * static_cast<std::size_t>(newHeight);
    std::unique_ptr<std::uint8_t[], FreeDeleter> pixels;
    if (bytes > 0) {
        pixels.reset(static_cast<std::uint8_t*>(std::calloc(bytes, 1)));
        if (!pixels)
            throw std::bad_alloc();
        AdviseHugePages(pixels.get(), bytes);
        const std::size_t keepBytes =
            static_cast<std::size_t>(std::min(newWidth, m_width)) * BytesPerPixel;
        const int keepRows = std::min(newHeight, m_height);
        for (int y = 0; keepBytes > 0 && y < keepRows; ++y)
            std::memcpy(pixels.get() + static_cast<std::size_t>(y) * newRowBytes, ScanLine(y),
                        keepBytes);
    }
    m_pixels = std::move(pixels);
    m_width = newWidth;
    m_height = newHeight;
}

TBM_Pixel TBM_Bitmap::GetPixel(int x, int y) const {
    if (x < 0 || x >= m_width || y < 0 || y >= m_height)
        return {};
    const std::uint8_t* p = ScanLine(y) + static_cast<std::size_t>(x) * BytesPerPixel;
    return {p[0], p[1], p[2]};
}

void TBM_Bitmap::SetPixel(int x, int y, std::uint32_t color) {
    if (x < 0 || x >= m_width || y < 0 || y >= m_height)
        return;
    std::uint8_t* p = ScanLine(y) + static_cast<std::size_t>(x) * BytesPerPixel;
    p[0] = static_cast<std::uint8_t>(color);
    p[1] = static_cast<std::uint8_t>(color >> 8);
    p[2] = static_cast<std::uint8_t>(color >> 16);
    p[3] = 0;
}
