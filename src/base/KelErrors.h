// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <stdexcept>
#include <string>

/// The exceptions of the core library. Every failure carries a message meant for a person;
/// persistence operations turn them into a success flag, generators skip what failed.

/// A text that should hold a number does not.
class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// An operation a list refuses, such as an owning list taking over another list's items.
class EListError : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

/// A file exists but cannot be read or written.
class EFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// A picture that cannot be read, written or held: damaged, truncated or unsupported data, or
/// a size beyond the limits of TBM_Bitmap.
class EImageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// A floating-point operation without a valid result, such as a division by zero or a value
/// beyond the integer range. Floating-point division does not raise by itself in C++, so the
/// code that must fail checks the operands and raises this.
class EMathError : public std::domain_error {
public:
    using std::domain_error::domain_error;
};

/// A project file is not well-formed XML or lacks an element the model needs.
class EXmlError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
