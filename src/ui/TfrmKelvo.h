// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <QStringList>

#include <memory>

#include "ui/TKelvoEnvironment.h"

class QModelIndex;
class QUndoCommand;
class QUndoStack;
class TKelPicture;
class TKelProject;
class TLargeSlideView;
class TPictureGridModel;
class TPictureGridDelegate;
class TRememberedPlaces;
namespace Ui {
class TfrmKelvo;
}

/// The program's main window: owns the open project and shows its pictures twice, as large
/// slides in one or two slide views and as rows of the picture grid, where titles and comments
/// are edited. Its actions create, open and save projects, add, remove, move and order
/// pictures, split the slide area, and open the gallery, help and info dialogs.
///
/// Gets the program's language, settings and prompts in its constructor. From the first show
/// until it closes a project is always open; pictures dropped from a file manager are added
/// like those of the add-pictures dialog. Every change to the list, to a picture's title,
/// comment or check mark and every visit to the layout dialog is one step of its undo stack,
/// which a new or opened project empties. Its places (geometry, splitters, grid columns,
/// dialog folders, recent projects) are remembered from one run to the next.
class TfrmKelvo : public QMainWindow {
    Q_OBJECT

public:
    /// The help context of the window, for F1.
    static constexpr int HelpContext = 2000;

    explicit TfrmKelvo(TKelvoEnvironment& environment, QWidget* parent = nullptr);
    ~TfrmKelvo() override;

    /// The open project, or nullptr before the first show and after closing.
    TKelProject* Project() const { return FProject.get(); }
    TKelPicture* CurrentPicture() const { return FCurrentPicture; }
    TLargeSlideView* MainSlideView() const { return FMainSlideView; }
    TLargeSlideView* SplitSlideView() const { return FSplitSlideView; }

    /// Opens a project file as the Open command does after its dialog (the program's argument).
    void OpenProjectFile(const QString& fileName);
    /// Adds picture files as the add-pictures command does after its dialog.
    void AddPictureFiles(const QStringList& fileNames);
    /// The picture files a drop of these local paths adds: files with a picture extension as
    /// given, and the picture files of folders (every format Kelvo reads) in name order.
    static QStringList DroppedPictureFiles(const QStringList& paths);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void NewProject();
    void OpenProject();
    bool SaveProject();
    bool SaveProjectAs();
    bool CloseProject();
    bool QuerySaveProject();
    void UpdateCaption();
    void UpdateViews();
    void UpdateGrid();
    void UpdateActions();
    void SelectPicture(QObject* sender, TKelPicture* picture);
    /// Clears a current picture that left the list, then UpdateViews.
    void UpdateAfterChange();
    /// Makes command the newest undo step (running its redo) and shows the result.
    void PushCommand(QUndoCommand* command);
    void SlideViewMovePicture(TLargeSlideView* sender, int fromIndex, int toIndex);
    void SlideViewCheckPicture(TLargeSlideView* sender, TKelPicture* picture);
    void grdDataTextEdited(TKelPicture* picture, int column, const QString& text);
    void actEditUndoRedoExecute(bool redo);
    void mnuFileRecentShow();
    void OpenRecentProject(const QString& fileName);
    /// Remembers a project file that was just opened or saved.
    void RememberProject(const QString& fileName);
    void PictureLoaded(TKelPicture* picture);
    void ReplaceProject(std::unique_ptr<TKelProject> project);
    void LoadThumbnails(const QString& statusFormat);

    void actPictureAddExecute();
    void actPictureDeleteExecute();
    void actPictureMoveExecute(int step);
    void actFileHtmlLayoutExecute();
    void actViewDivideExecute();
    void spltSlideViewsMoved();
    void grdDataCurrentChanged(const QModelIndex& current, const QModelIndex& previous);
    void grdDataHeaderReleased(QPoint position);
    bool grdDataKeyPress(QKeyEvent* event);
    bool grdDataMouseWheel(QWheelEvent* event);
    void mnuSupportHistoryClick();
    void actHelpHelpExecute();
    void actHelpInfoExecute();

    std::unique_ptr<Ui::TfrmKelvo> ui;
    TKelvoEnvironment& m_environment;
    std::unique_ptr<TKelProject> FProject;
    TKelPicture* FCurrentPicture = nullptr;
    TLargeSlideView* FSplitSlideView = nullptr;
    TLargeSlideView* FMainSlideView = nullptr;
    TPictureGridModel* m_gridModel = nullptr;
    TPictureGridDelegate* m_gridDelegate = nullptr;
    QUndoStack* m_undoStack = nullptr;
    std::unique_ptr<TRememberedPlaces> m_places;
    QString m_projectFolder; // where the project dialogs start
    bool m_shown = false;
    bool m_busy = false; // pictures are loading: the window is disabled
    bool m_gridCursorLocked = false;
    int m_loadedCount = 0;
    int m_loadingCount = 0;
    QString m_statusFormat;
    QElapsedTimer m_repaintClock; // since the window last caught up with loading pictures
};
