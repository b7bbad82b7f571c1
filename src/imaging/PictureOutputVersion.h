// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

/// The version of the bytes a gallery picture gets from its source: decoding, resampling,
/// colour handling and JPEG encoding together. Raise it with every change that alters a single
/// output byte, so that incremental gallery runs rewrite the pictures they made before
/// instead of keeping them as current.
constexpr int KelPictureOutputVersion = 2;
