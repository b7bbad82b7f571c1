// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include <memory>
#include <string>

class QLineEdit;
class TKelGalleryRun;
class TKelProject;
class TProgress;
struct TKelvoEnvironment;

namespace Ui {
class TFrmHtmlOutput;
}

/// The output dialog: the output folder and sub-folder of a project, and the run that writes
/// the gallery of the project's active layout there (TKelGalleryRun) with progress and Stop.
/// Created on the stack by the layout dialog for one project, shown modally.
///
/// The run stays on the UI thread apart from the picture workers of the gallery run; user
/// input is handled inside the progress sink's cancel query, so Stop and its question work
/// while a run is going on.
class TFrmHtmlOutput : public QDialog {
    Q_OBJECT

public:
    TFrmHtmlOutput(TKelProject& project, TKelvoEnvironment& environment, QWidget* parent = nullptr);
    ~TFrmHtmlOutput() override;

    /// True for an empty text or one of only '/', '\', digits and the letters A-Z, a-z.
    static bool IsValidDirectoryName(const QString& text);

    /// The progress sink of the runs; for tests that watch the run.
    TProgress& Progress() { return *m_progress; }

public slots:
    /// Escape stops a run instead of closing the dialog in the middle of it.
    void reject() override;
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormShow();
    void btnOutputDirectoryClick();
    void btnStartClick();
    void btnStopClick();
    void btnOkClick();
    /// Message 3075 with a line per field that ApplyControls refused, saying why.
    void ShowInvalidInput();

    void LoadControls();
    bool ApplyControls();
    /// Returns whether the edit is valid.
    bool ValidateControl(QLineEdit* edit);
    void SetControlState(QLineEdit* edit, bool enabled, bool valid);
    void SetControlText(QLineEdit* edit, const std::string& value);
    void SetRunning(bool idle);
    void ShowRunResult(const TKelGalleryRun& run);
    /// The files the run wrote, kept and removed, as one line for its closing message.
    QString CountsText(const TKelGalleryRun& run);
    QString GetText(int id, const QString& def);

    std::unique_ptr<Ui::TFrmHtmlOutput> ui;
    TKelProject& m_project;
    TKelvoEnvironment& m_environment;
    std::unique_ptr<TProgress> m_progress;
    /// True from Start until the gallery run has returned, a confirmed Stop included.
    bool m_running = false;
};
