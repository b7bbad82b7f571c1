// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <csetjmp>
#include <cstdio>

#include <png.h>

// libpng reports errors by calling the error function, which must not return. It jumps back
// with longjmp to the setjmp in PngGuard, and only libpng's C frames and trivially destructible
// lambdas lie in between, so no C++ destructor is skipped. Everything that owns something
// lives outside PngGuard and is released by its destructor after PngGuard returns false and the
// caller raises. For the PNG reader and writer only.

struct TPngError {
    std::jmp_buf Jump;
    char Message[200];
};

/// libpng's error function: keeps the message in the TPngError given as error pointer and
/// jumps back to the PngGuard running.
[[noreturn]] inline void PngErrorExit(png_structp png, png_const_charp message) {
    auto* error = static_cast<TPngError*>(png_get_error_ptr(png));
    std::snprintf(error->Message, sizeof error->Message, "%s", message);
    std::longjmp(error->Jump, 1);
}

/// Runs step, which may only call libpng and plain C functions; false if libpng failed.
template <typename TStep>
bool PngGuard(TPngError& error, const TStep& step) {
    if (setjmp(error.Jump) != 0)
        return false;
    step();
    return true;
}
