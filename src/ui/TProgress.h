// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/TCustomProgress.h"

class QLabel;
class QProgressBar;

/// The output dialog's progress sink: drives its progress bar and file text, and holds the
/// cancel flag that its Stop button sets. Owned by the dialog; the widgets belong to it too.
///
/// Every call comes from the UI thread. IsCancelled lets Qt handle pending events first, which
/// is where a click on Stop (and its question) is handled during a run.
class TProgress : public TCustomProgress {
public:
    TProgress(QProgressBar* bar, QLabel* text);

    int GetMax() const override;
    void SetMax(int value) override;
    void Reset() override;
    void Step(int delta, const std::string& text) override;
    bool IsCancelled() override;

    void Cancel() { m_cancelled = true; }

private:
    QProgressBar* m_bar;
    QLabel* m_text;
    bool m_cancelled = false;
};
