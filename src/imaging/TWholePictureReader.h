// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "imaging/TBM_Bitmap.h"
#include "imaging/TDecodedPicture.h"
#include "imaging/TPictureReader.h"

/// A picture decoded whole by a reader that cannot stream rows (BMP, a HEIF thumbnail, and the
/// TIFF pictures that libtiff's RGBA interface reads), served row by row through the
/// common interface. Owns the pixels; made by OpenPicture.
class TWholePictureReader final : public TPictureReader {
public:
    /// Raises EImageError when the pixels do not fill the stated size.
    explicit TWholePictureReader(TDecodedPicture picture);
    /// An upright sRGB picture in the pixel store's own layout.
    explicit TWholePictureReader(TBM_Bitmap bitmap);

    void ReadRows(TRows& rows) override;

private:
    TDecodedPicture m_picture;
    TBM_Bitmap m_bitmap;
};
