// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "imaging/TRect.h"

/// Fitting a picture's proportions into a frame, and the roundings that go with it.
///
/// Spans are Right - Left and Bottom - Top (one less than the pixel counts). A zero span in the
/// frame or the source (a picture or frame one pixel wide or high) leaves no ratio to compare:
/// FitRect and FitRectCentered raise EMathError for it, and the callers skip that picture.
/// All functions are pure and safe to call from any thread.

/// The largest rectangle with the proportions of source that fits frame, anchored at the
/// frame's top-left corner. The rounded span is stored as Right or Bottom itself (not added to
/// Left or Top); callers pass frames at 0, 0, so the result is 0, 0, w - 1, h - 1 of the fitted
/// size. A small picture is enlarged to fill the frame. Raises EMathError on a zero span.
TRect FitRect(const TRect& frame, const TRect& source);

/// As FitRect, but centred in the frame along the axis that has room to spare; the other axis
/// keeps the frame's edges. Raises EMathError on a zero span.
TRect FitRectCentered(const TRect& frame, const TRect& source);

/// rect with every side moved outward by amount (Left and Top minus it, Right and Bottom plus
/// it); a negative amount shrinks.
TRect GrowRect(const TRect& rect, std::int32_t amount);

/// value truncated toward zero, plus 1 if the remainder is 0.5 or more: halves round up for
/// positive values, negative values are only truncated (RoundHalfUp(-2.5) is -2). Raises
/// EMathError for a value outside the 32-bit range or not a number.
std::int32_t RoundHalfUp(double value);

/// value truncated toward zero, plus 1 if value is greater than that (the ceiling). Raises
/// EMathError for a value outside the 32-bit range or not a number.
std::int32_t CeilInt(double value);
