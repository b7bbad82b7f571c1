// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/TFrmHtmlOutput.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QStyle>
#include <QUrl>

#include <exception>

#include "generator/TKelGalleryRun.h"
#include "language/TTamLanguage.h"
#include "model/TKelProject.h"
#include "ui/ControlState.h"
#include "ui/TKelvoEnvironment.h"
#include "ui/TProgress.h"
#include "ui/TPrompts.h"
#include "ui/TRememberedPlaces.h"
#include "ui/ui_TFrmHtmlOutput.h"

namespace {

// How many skipped files the report after a run names; the rest are only counted.
constexpr int ReportedFailures = 5;

// The first few files of list with their messages, one a line, and "…" for the rest.
QString FileList(const std::vector<TKelGenerationFailure>& list) {
    QString text;
    for (std::size_t i = 0; i < list.size() && i < ReportedFailures; ++i)
        text += "\n" + QFileInfo(QString::fromStdString(list[i].FileName)).fileName() + ": " +
                QString::fromStdString(list[i].Message);
    if (list.size() > ReportedFailures)
        text += "\n…";
    return text;
}

bool IsPageFile(const std::string& fileName) {
    const QString suffix = QFileInfo(QString::fromStdString(fileName)).suffix().toLower();
    return suffix == "htm" || suffix == "html" || suffix == "shtm" || suffix == "shtml";
}

} // namespace

TFrmHtmlOutput::TFrmHtmlOutput(TKelProject& project, TKelvoEnvironment& environment,
                               QWidget* parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::TFrmHtmlOutput>())
    , m_project(project)
    , m_environment(environment) {
    ui->setupUi(this);
    m_environment.Language.TranslateComponent(this);
    m_progress = std::make_unique<TProgress>(ui->prgOutput, ui->pnlOutputFile);

    ui->btnOutputDirectory->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    ui->imgTree->setPixmap(style()->standardIcon(QStyle::SP_DirLinkIcon).pixmap(16, 16));
    ui->btnStart->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
    ui->btnStop->setIcon(style()->standardIcon(QStyle::SP_MediaStop));
    ui->btnOk->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    ui->btnCancel->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    ui->btnStop->setVisible(false);

    connect(ui->btnOutputDirectory, &QToolButton::clicked, this,
            &TFrmHtmlOutput::btnOutputDirectoryClick);
    connect(ui->btnStart, &QPushButton::clicked, this, &TFrmHtmlOutput::btnStartClick);
    connect(ui->btnStop, &QPushButton::clicked, this, &TFrmHtmlOutput::btnStopClick);
    connect(ui->btnOk, &QPushButton::clicked, this, &TFrmHtmlOutput::btnOkClick);
    connect(ui->btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

TFrmHtmlOutput::~TFrmHtmlOutput() = default;

bool TFrmHtmlOutput::IsValidDirectoryName(const QString& text) {
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        const bool allowed = u == '/' || u == '\\' || (u >= '0' && u <= '9') ||
                             (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z');
        if (!allowed)
            return false;
    }
    return true;
}

void TFrmHtmlOutput::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TFrmHtmlOutput::reject() {
    if (m_running) {
        if (ui->btnStop->isVisible())
            btnStopClick();
        return;
    }
    QDialog::reject();
}

void TFrmHtmlOutput::done(int result) {
    // Closing while a stopped run winds down would return from exec() under the generators.
    if (!m_running)
        QDialog::done(result);
}

void TFrmHtmlOutput::closeEvent(QCloseEvent* event) {
    if (m_running) {
        event->ignore();
        if (ui->btnStop->isVisible())
            btnStopClick();
        return;
    }
    QDialog::closeEvent(event);
}

void TFrmHtmlOutput::FormShow() {
    m_progress->Reset();
    // Exact pictures unless asked for anew: the fast decode is a choice for one session.
    ui->chkFast->setChecked(false);
    // Rewriting everything is for one run's doubt, not a setting.
    ui->chkRewrite->setChecked(false);
    LoadControls();
}

void TFrmHtmlOutput::LoadControls() {
    SetControlText(ui->edtOutputDirectory, m_project.OutputDirectory());
    SetControlState(ui->edtOutputDirectory, true, true);
    SetControlText(ui->edtOutputSubDirectory, m_project.OutputSubDirectory());
    SetControlState(ui->edtOutputSubDirectory, true, true);
}

void TFrmHtmlOutput::SetControlText(QLineEdit* edit, const std::string& value) {
    edit->setText(QString::fromStdString(value));
}

void TFrmHtmlOutput::SetControlState(QLineEdit* edit, bool enabled, bool valid) {
    ::SetControlState(edit, enabled, valid);
}

bool TFrmHtmlOutput::ValidateControl(QLineEdit* edit) {
    bool valid = true;
    if (edit == ui->edtOutputDirectory)
        valid = !edit->text().isEmpty() && QFileInfo(edit->text()).isDir();
    else if (edit == ui->edtOutputSubDirectory)
        valid = IsValidDirectoryName(edit->text());
    SetControlState(edit, edit->isEnabled(), valid);
    return valid;
}

bool TFrmHtmlOutput::ApplyControls() {
    bool valid = true;
    if (ValidateControl(ui->edtOutputDirectory) && ui->edtOutputDirectory->isEnabled()) {
        const QString text = ui->edtOutputDirectory->text();
        if (text != QString::fromStdString(m_project.OutputDirectory()))
            m_project.SetOutputDirectory(text.toStdString());
    } else {
        valid = false;
    }
    if (ValidateControl(ui->edtOutputSubDirectory) && ui->edtOutputSubDirectory->isEnabled()) {
        const QString text = ui->edtOutputSubDirectory->text();
        if (text != QString::fromStdString(m_project.OutputSubDirectory()))
            m_project.SetOutputSubDirectory(text.toStdString());
    } else {
        valid = false;
    }
    return valid;
}

void TFrmHtmlOutput::btnOutputDirectoryClick() {
    const QString current = ui->edtOutputDirectory->text();
    TRememberedPlaces places;
    const QString start =
        QFileInfo(current).isDir() ? current : places.Folder(QStringLiteral("Output"));
    const QString chosen = m_environment.Prompts.GetExistingDirectory(this, QString(), start);
    if (chosen.isEmpty())
        return;
    places.SetFolder(QStringLiteral("Output"), chosen);
    ui->edtOutputDirectory->setText(QDir::toNativeSeparators(chosen));
}

void TFrmHtmlOutput::btnOkClick() {
    if (!ApplyControls()) {
        ShowInvalidInput();
        return;
    }
    accept();
}

void TFrmHtmlOutput::ShowInvalidInput() {
    QStringList lines{GetText(3075, "Invalid input!")};
    const QString folder = ui->edtOutputDirectory->text();
    if (folder.isEmpty())
        lines.append(GetText(3121, "No output folder is given."));
    else if (!QFileInfo(folder).isDir())
        lines.append(
            TTamLanguage::Format(GetText(3122, "The output folder %s does not exist."), {folder}));
    if (!IsValidDirectoryName(ui->edtOutputSubDirectory->text()))
        lines.append(GetText(3123, "A sub-folder name may hold only the letters A to Z and a to "
                                   "z, the digits 0 to 9 and the path separators / and \\."));
    m_environment.Prompts.Message(this, QMessageBox::Warning, GetText(2080, QString()),
                                  lines.join(QLatin1Char('\n')));
}

void TFrmHtmlOutput::btnStartClick() {
    m_progress->Reset();
    if (!ApplyControls()) {
        ShowInvalidInput();
        return;
    }

    TKelGalleryRun run;
    run.Progress = m_progress.get();
    run.Fast = ui->chkFast->isChecked();
    run.Force = ui->chkRewrite->isChecked();
    run.OnStarted = [this] { SetRunning(false); };
    m_running = true;
    TKelGalleryRun::TStatus status = TKelGalleryRun::TStatus::Done;
    try {
        const std::string outDir = TKelGalleryRun::OutputDirectory(m_project.OutputDirectory(),
                                                                   m_project.OutputSubDirectory());
        status = run.Execute(m_project, outDir);
    } catch (const std::exception& e) {
        m_running = false;
        m_progress->Reset();
        SetRunning(true);
        m_environment.Prompts.Message(this, QMessageBox::Critical, GetText(2080, QString()),
                                      QString::fromStdString(e.what()));
        return;
    }
    m_running = false;
    m_progress->Reset();
    SetRunning(true);

    switch (status) {
    case TKelGalleryRun::TStatus::NoPictures:
        m_environment.Prompts.Message(this, QMessageBox::Warning, GetText(2080, QString()),
                                      GetText(3076, "No pictures are selected!"));
        return;
    case TKelGalleryRun::TStatus::NoLayout:
        m_environment.Prompts.Message(this, QMessageBox::Warning, GetText(2080, QString()),
                                      GetText(3077, "No layout is selected!"));
        return;
    case TKelGalleryRun::TStatus::Cancelled:
        // A stopped run left a partial gallery: it must not be announced as created.
        m_environment.Prompts.Message(
            this, QMessageBox::Information, GetText(2080, QString()),
            GetText(3083, "The creation of the picture gallery was stopped. The pages and "
                          "pictures written so far remain in the output folder.") +
                "\n\n" + CountsText(run));
        return;
    case TKelGalleryRun::TStatus::Done:
        ShowRunResult(run);
        return;
    }
}

void TFrmHtmlOutput::ShowRunResult(const TKelGalleryRun& run) {
    const QString caption = GetText(2080, QString());
    const QString counts = "\n\n" + CountsText(run);
    const QString startPage = QString::fromStdString(run.StartPage);
    const auto openStartPage = [&] { QDesktopServices::openUrl(QUrl::fromLocalFile(startPage)); };
    // Pictures written with a warning are complete, but the user should know why they may
    // look different; they follow whatever else the report says.
    QString warnings;
    if (!run.Warnings.empty()) {
        warnings =
            "\n\n" +
            m_environment.Language.GetTextFmt(3100, "%d pictures were written with a warning:",
                                              {static_cast<int>(run.Warnings.size())}) +
            FileList(run.Warnings);
    }

    if (run.Failures.empty() && warnings.isEmpty()) {
        if (startPage.isEmpty()) {
            m_environment.Prompts.Message(
                this, QMessageBox::Information, caption,
                GetText(3078, "The picture gallery was created successfully.") + counts);
        } else if (m_environment.Prompts.Message(
                       this, QMessageBox::Question, caption,
                       GetText(3079, "The picture gallery was created successfully. Do you want "
                                     "to view it in your web browser now?") +
                           counts,
                       QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) == QMessageBox::Yes) {
            openStartPage();
        }
        return;
    }

    QString text = GetText(3078, "The picture gallery was created successfully.");
    if (!run.Failures.empty()) {
        // Skipped files must not pass for a complete gallery: count them and name the first
        // few.
        int pages = 0;
        for (const TKelGenerationFailure& failure : run.Failures)
            pages += IsPageFile(failure.FileName) ? 1 : 0;
        const int pictures = static_cast<int>(run.Failures.size()) - pages;
        text =
            m_environment.Language.GetTextFmt(
                3081, "The picture gallery was created, but %d pages and %d pictures were skipped:",
                {pages, pictures}) +
            FileList(run.Failures);
    }
    text += warnings;
    text += counts;
    if (startPage.isEmpty()) {
        m_environment.Prompts.Message(this, QMessageBox::Warning, caption, text);
        return;
    }
    text += "\n\n" + GetText(3082, "Do you want to view it in your web browser now?");
    if (m_environment.Prompts.Message(this, QMessageBox::Warning, caption, text,
                                      QMessageBox::Yes | QMessageBox::No,
                                      QMessageBox::Yes) == QMessageBox::Yes)
        openStartPage();
}

void TFrmHtmlOutput::btnStopClick() {
    if (m_environment.Prompts.Message(
            this, QMessageBox::Question, GetText(2080, QString()),
            GetText(3080, "Are you sure you want to stop creating the picture gallery?"),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
        return;
    m_progress->Cancel();
    SetRunning(true);
}

void TFrmHtmlOutput::SetRunning(bool idle) {
    ui->btnStart->setVisible(idle);
    ui->btnStop->setVisible(!idle);
    (idle ? ui->btnStart : ui->btnStop)->repaint();
    ui->pnlBottom->setEnabled(idle);
}

QString TFrmHtmlOutput::CountsText(const TKelGalleryRun& run) {
    const TKelRebuildPlan::TCounts& c = run.Counts;
    return m_environment.Language.GetTextFmt(
        3110, "Pictures: %d written, %d kept, %d removed. Pages: %d written, %d kept, %d removed.",
        {c.PicturesWritten, c.PicturesKept, c.PicturesRemoved, c.PagesWritten, c.PagesKept,
         c.PagesRemoved});
}

QString TFrmHtmlOutput::GetText(int id, const QString& def) {
    return m_environment.Language.GetText(id, def);
}
