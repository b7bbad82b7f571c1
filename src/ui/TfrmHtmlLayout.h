// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QUrl>

#include <array>
#include <memory>
#include <utility>

#include "model/TKelLayoutList.h"
#include "model/TKelPictureRefs.h"
#include "template/TKelPageDirectoryList.h"

class QCheckBox;
class QTreeWidgetItem;
class QWebEngineProfile;
class TKelLayer;
class TKelLayout;
class TKelPicture;
class TKelProject;
class TPreviewPage;
struct TKelvoEnvironment;

namespace Ui {
class TfrmHtmlLayout;
}

/// The layout dialog: the user picks a layout and one of its layers and edits the layer's
/// settings on a working copy of the layouts, read afresh from the layouts folder, while a
/// preview written into the settings' temporary folder shows the result. OK copies the working
/// copy into the project; "Create picturegallery..." does too and opens the output dialog.
/// Created on the stack by the main window for one project, shown modally.
///
/// Every preview is made synchronously in the event that asks for it: the layout's files are
/// copied only when another layout is chosen, a text change writes only the page, a picture
/// setting only the test picture (and the placeholders when the frame changes).
class TfrmHtmlLayout : public QDialog {
    Q_OBJECT

public:
    /// The help context of the dialog and its preview.
    static constexpr int HelpContext = 2100;

    TfrmHtmlLayout(TKelProject& project, TKelvoEnvironment& environment, QWidget* parent = nullptr);
    ~TfrmHtmlLayout() override;

    /// The page of the preview; for tests that look at what it shows.
    TPreviewPage& PreviewPage() { return *m_page; }

signals:
    /// The Help button was pressed; whoever provides help shows the topic of context.
    void HelpRequested(int context);
    /// The preview has finished loading the page the dialog asked for.
    void PreviewLoaded(bool ok);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    /// Remembers the dialog's size and splitters for its next start.
    void done(int result) override;

private:
    void SetProject();
    void FormShow();
    void FitLayoutControls();
    void FitFirstSize();
    void tvwLayoutsChange(QTreeWidgetItem* node);
    void memTitleTextExit();
    void cmbColRowCountChange();
    void cmbPictureSizeChange(int index);
    void edtPictureWidthHeightExit();
    void trkbPictureQualityChange(int position);
    void trkbPictureQualityExit();
    void edtPictureQualityExit();
    void cmbPictureSelectionChange();
    void chkDensityClick();
    void cmbLanguageChange();
    void btnOkClick();
    void btnCreateHtmlClick();

    /// Returns (valid, changed).
    std::pair<bool, bool> ApplyControls();
    /// Returns whether the control is valid.
    bool ValidateControl(QWidget* control);
    void SetControlState(QWidget* control, bool enabled, bool valid);
    void LoadControls(const TKelLayout* layout, const TKelLayer* layer);
    void FillTree();
    void FillTestPictures();
    /// The languages of the chosen layout's words, English and the gallery's own always among
    /// them; empty and disabled without a layout.
    void FillLanguages();
    QUrl GenerateLayerPreview(const TKelLayout* layout, const TKelLayer* layer, bool copyFiles);
    QUrl GenerateLayoutPreview(const TKelLayout* layout, bool copyFiles);
    void GenerateLayerPictures(const TKelLayout* layout, const TKelLayer* layer, bool placeholders);
    void GenerateLayoutPictures(const TKelLayout* layout, bool placeholders);
    void GeneratePlaceholders(const TKelLayout& layout);
    TKelPicture* TestPicture() const;
    /// Lists the template check's findings for the layout of node when it is another layout than
    /// the one listed.
    void ShowTemplateCheck(const QTreeWidgetItem* node);
    /// The check boxes of the densities above 1, with their density.
    std::array<std::pair<int, QCheckBox*>, 3> DensityBoxes() const;

    /// The OK steps: stores the controls and copies the working layouts into the project.
    /// False, with nothing copied, while a control is invalid.
    bool ApplyToProject();
    void Navigate(const QUrl& url);
    void Refresh(bool picturesChanged);
    /// Runs a reaction; a failure is shown in a message box instead of escaping into Qt.
    template <typename F>
    void Guarded(F&& reaction);

    std::unique_ptr<Ui::TfrmHtmlLayout> ui;
    TKelProject& m_project;
    TKelvoEnvironment& m_environment;
    TKelPictureRefs m_pictures;
    TKelPageDirectoryList m_directories;
    TKelLayoutList m_layouts;
    TKelLayout* m_layout = nullptr;
    TKelLayer* m_layer = nullptr;
    QWebEngineProfile* m_profile = nullptr;
    TPreviewPage* m_page = nullptr;
    bool m_shown = false;
    bool m_templateChecked = false;
    const TKelLayout* m_checkedLayout = nullptr;
    bool m_sizeRemembered = false; // from an earlier start
    /// The project's layouts point into m_directories since OK; they are detached from it
    /// before it goes.
    bool m_projectUsesDirectories = false;
};
