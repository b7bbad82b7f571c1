// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/TWholePictureReader.h"

#include <cstring>
#include <utility>

#include "base/KelErrors.h"
#include "imaging/DecodedPictureRows.h"

TWholePictureReader::TWholePictureReader(TDecodedPicture picture)
    : m_picture(std::move(picture)) {
    TBM_Bitmap::CheckSize(m_picture.Width, m_picture.Height);
    const std::size_t samples =
        static_cast<std::size_t>(m_picture.Width) * static_cast<std::size_t>(m_picture.Height) * 3;
    const bool wide = m_picture.BitsPerSample == 16;
    if ((wide ? m_picture.Pixels16.size() : m_picture.Pixels8.size()) != samples ||
        m_picture.Orientation < 1 || m_picture.Orientation > 8)
        throw EImageError("A decoded picture does not match its size");
    m_info.Width = m_picture.Width;
    m_info.Height = m_picture.Height;
    m_info.Orientation = m_picture.Orientation;
    m_info.Layout = wide ? TSampleLayout::Rgbx16 : TSampleLayout::Rgbx8;
    m_info.Colour = std::move(m_picture.Colour);
}

TWholePictureReader::TWholePictureReader(TBM_Bitmap bitmap)
    : m_bitmap(std::move(bitmap)) {
    m_info.Width = m_bitmap.Width();
    m_info.Height = m_bitmap.Height();
}

void TWholePictureReader::ReadRows(TRows& rows) {
    const auto width = static_cast<std::size_t>(m_info.Width);
    for (int y = 0; y < m_info.Height; ++y) {
        std::uint8_t* out = rows.Row(y);
        const std::size_t first = static_cast<std::size_t>(y) * width * 3;
        if (m_bitmap.Width() > 0)
            std::memcpy(out, m_bitmap.ScanLine(y), m_bitmap.RowBytes());
        else if (m_picture.BitsPerSample == 16)
            WidenRow(m_picture.Pixels16.data() + first, reinterpret_cast<std::uint16_t*>(out),
                     width);
        else
            WidenRow(m_picture.Pixels8.data() + first, out, width);
        rows.RowsArrived(y + 1);
    }
}
