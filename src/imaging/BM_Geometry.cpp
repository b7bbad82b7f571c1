// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/BM_Geometry.h"

#include "base/KelErrors.h"

namespace {

// Spans as doubles, computed in 64 bits so that extreme rectangles cannot overflow.
double Span(std::int32_t from, std::int32_t to) {
    return static_cast<double>(static_cast<std::int64_t>(to) - from);
}

double Divide(double dividend, double divisor) {
    if (divisor == 0.0)
        throw EMathError("Floating point division by zero");
    return dividend / divisor;
}

std::int64_t Trunc(double value) {
    // The open range (-2^31 - 1, 2^31) is exactly the values whose truncation fits 32 bits.
    if (!(value > -2147483649.0 && value < 2147483648.0))
        throw EMathError("Invalid floating point operation");
    return static_cast<std::int64_t>(value);
}

std::int32_t ToInt32(std::int64_t value) {
    if (value > INT32_MAX)
        throw EMathError("Invalid floating point operation");
    return static_cast<std::int32_t>(value);
}

struct TSpans {
    double FrameWidth;
    double FrameHeight;
    double SourceWidth;
    double SourceHeight;
    bool SourceIsWider;
};

// Both fitting functions compare the two ratios the same way; a zero span anywhere raises, as
// a picture or frame one pixel wide or high has no usable proportions.
TSpans CompareRatios(const TRect& frame, const TRect& source) {
    TSpans s{Span(frame.Left, frame.Right), Span(frame.Top, frame.Bottom),
             Span(source.Left, source.Right), Span(source.Top, source.Bottom), false};
    if (s.FrameWidth == 0.0 || s.SourceWidth == 0.0)
        throw EMathError("Floating point division by zero");
    const double frameRatio = Divide(s.FrameWidth, s.FrameHeight);
    const double sourceRatio = Divide(s.SourceWidth, s.SourceHeight);
    s.SourceIsWider = sourceRatio > frameRatio;
    return s;
}

} // namespace

std::int32_t RoundHalfUp(double value) {
    const std::int64_t whole = Trunc(value);
    return ToInt32(value - static_cast<double>(whole) >= 0.5 ? whole + 1 : whole);
}

std::int32_t CeilInt(double value) {
    const std::int64_t whole = Trunc(value);
    return ToInt32(value > static_cast<double>(whole) ? whole + 1 : whole);
}

TRect FitRect(const TRect& frame, const TRect& source) {
    const TSpans s = CompareRatios(frame, source);
    TRect result = frame;
    if (s.SourceIsWider)
        result.Bottom = RoundHalfUp(s.SourceHeight / s.SourceWidth * s.FrameWidth);
    else
        result.Right = RoundHalfUp(s.SourceWidth / s.SourceHeight * s.FrameHeight);
    return result;
}

TRect FitRectCentered(const TRect& frame, const TRect& source) {
    const TSpans s = CompareRatios(frame, source);
    TRect result = frame;
    if (s.SourceIsWider) {
        const double h = s.SourceHeight / s.SourceWidth * s.FrameWidth;
        const double c = (static_cast<double>(frame.Top) + frame.Bottom) / 2;
        result.Top = RoundHalfUp(c - h / 2);
        result.Bottom = RoundHalfUp(c + h / 2);
    } else {
        const double w = s.SourceWidth / s.SourceHeight * s.FrameHeight;
        const double c = (static_cast<double>(frame.Left) + frame.Right) / 2;
        result.Left = RoundHalfUp(c - w / 2);
        result.Right = RoundHalfUp(c + w / 2);
    }
    return result;
}

TRect GrowRect(const TRect& rect, std::int32_t amount) {
    // Wraps like the 32-bit arithmetic of the callers rather than overflowing.
    const auto add = [](std::int32_t a, std::int64_t b) {
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(a + b));
    };
    return {add(rect.Left, -std::int64_t{amount}), add(rect.Top, -std::int64_t{amount}),
            add(rect.Right, amount), add(rect.Bottom, amount)};
}
