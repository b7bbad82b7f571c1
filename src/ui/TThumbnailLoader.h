// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <vector>

class TKelPicture;

/// Makes the thumbnails of many pictures on worker threads, several at once, and hands each to
/// its picture on the calling thread in list order. Each comes from the desktop's thumbnail
/// cache when it holds a current entry, else from the file, and then goes into the cache. While it
/// waits it keeps the calling thread's event loop running, so windows repaint. Made on the stack
/// for one run.
class TThumbnailLoader {
public:
    /// Called on the calling thread after a picture got its thumbnail (or none, for a file that
    /// cannot be read), in the order of the pictures given.
    using TLoaded = std::function<void(TKelPicture& picture)>;

    /// Blocks until every picture is done; the pictures must outlive the call. Worker threads
    /// only read the file names copied at the start, never the pictures.
    static void Run(const std::vector<TKelPicture*>& pictures, const TLoaded& onLoaded);
};
