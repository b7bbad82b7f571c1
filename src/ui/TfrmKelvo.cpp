// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/TfrmKelvo.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPointer>
#include <QScopeGuard>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QUndoStack>

#include <array>
#include <vector>

#include "imaging/PictureFormat.h"
#include "language/THelpManager.h"
#include "language/TTamLanguage.h"
#include "model/TKelProject.h"
#include "model/TSettings.h"
#include "ui/TAddRemovePicturesCommand.h"
#include "ui/TKelvoIcons.h"
#include "ui/TLargeSlideView.h"
#include "ui/TLayoutSettingsCommand.h"
#include "ui/TMovePictureCommand.h"
#include "ui/TOrderPicturesCommand.h"
#include "ui/TPictureCheckCommand.h"
#include "ui/TPictureGridModel.h"
#include "ui/TPictureTextCommand.h"
#include "ui/TPrompts.h"
#include "ui/TRememberedPlaces.h"
#include "ui/TThumbnailLoader.h"
#include "ui/TfrmHtmlLayout.h"
#include "ui/TfrmInfo.h"
#include "ui_TfrmKelvo.h"

namespace {

const QColor SkyBlue(166, 202, 240);
const QString ProjectFilter = QStringLiteral("Kelvo (*.kel)");
// The letter that shows or hides the Support menu together with Control and Shift.
constexpr int SupportMenuKey = Qt::Key_H;
// Control and Shift with this letter is Redo; the window takes it before the Support rule.
constexpr int RedoKey = Qt::Key_Z;
// The names the remembered places are stored under.
const QString FormName = QStringLiteral("MainWindow");
const QString ProjectFolder = QStringLiteral("Projects");
const QString PicturesFolder = QStringLiteral("Pictures");

QString FromPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

std::string ToPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

bool IsPictureFile(const QString& fileName) {
    return HasPictureExtension(ToPath(fileName));
}

// "*.jpg *.jpeg ..." for the extensions of families.
QStringList PicturePatterns(const std::vector<TPictureFamily>& families) {
    QStringList patterns;
    for (const TPictureFamily& family : families)
        for (const std::string& extension : family.Extensions)
            patterns.append("*." + QString::fromStdString(extension));
    return patterns;
}

// "All pictures (*.jpg ... *.bmp);;JPEG (*.jpg ...);;...": everything Kelvo reads first, then
// one filter per family.
QString PictureFilter(const QString& allPictures) {
    const std::vector<TPictureFamily>& families = PictureFamilies();
    QString filter = allPictures + " (" + PicturePatterns(families).join(' ') + ")";
    for (const TPictureFamily& family : families)
        filter += ";;" + QString::fromStdString(family.Name) + " (" +
                  PicturePatterns({family}).join(' ') + ")";
    return filter;
}

void PaintBackground(QWidget* widget) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Base, SkyBlue);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

} // namespace

/// Paints the grid's cells as the window wants them: the row number centred on the highlight
/// colour for a selected picture, Title and Comment on the window colour, Date and Filename on
/// the button face; text 2 pixels in from the top-left corner. Keeps the one open editor so
/// that a refresh can close it without writing its text into a picture.
class TPictureGridDelegate : public QStyledItemDelegate {
public:
    TPictureGridDelegate(TPictureGridModel& model, QWidget& colours, QObject* parent)
        : QStyledItemDelegate(parent)
        , m_model(model)
        , m_colours(colours) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const QPalette& palette = m_colours.palette();
        const TKelPicture* picture = m_model.Picture(index.row());
        const int column = index.column();
        QColor background = palette.color(QPalette::Button);
        QColor text = palette.color(QPalette::WindowText);
        if (column == TPictureGridModel::ColNumber && picture != nullptr && picture->Selected()) {
            background = palette.color(QPalette::Highlight);
            text = palette.color(QPalette::HighlightedText);
        } else if (column == TPictureGridModel::ColTitle ||
                   column == TPictureGridModel::ColComment) {
            const bool highlighted = option.state.testFlag(QStyle::State_Selected);
            background = palette.color(highlighted ? QPalette::Highlight : QPalette::Base);
            text = palette.color(highlighted ? QPalette::HighlightedText : QPalette::Text);
        }
        painter->save();
        painter->fillRect(option.rect, background);
        painter->setClipRect(option.rect);
        painter->setPen(text);
        const QRect inner = option.rect.adjusted(2, 2, 0, 0);
        const Qt::Alignment align = column == TPictureGridModel::ColNumber
                                        ? Qt::AlignHCenter | Qt::AlignTop
                                        : Qt::AlignLeft | Qt::AlignTop;
        const QString value = index.data(Qt::DisplayRole).toString();
        painter->drawText(column == TPictureGridModel::ColNumber ? option.rect.adjusted(0, 2, 0, 0)
                                                                 : inner,
                          align | Qt::TextSingleLine, value);
        painter->restore();
    }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        m_editor = editor;
        ++m_editorSerial;
        // Every keystroke goes into the picture at once, so a refresh that closes the editor
        // (a click on a slide) loses nothing and writes nothing into another picture later.
        if (auto* line = qobject_cast<QLineEdit*>(editor)) {
            auto* self = const_cast<TPictureGridDelegate*>(this);
            connect(line, &QLineEdit::textEdited, self,
                    [self, line] { emit self->commitData(line); });
        }
        return editor;
    }

    /// Closes the open editor, if any, without committing its text.
    void CloseEditor() {
        if (m_editor)
            emit closeEditor(m_editor, QAbstractItemDelegate::NoHint);
        m_editor = nullptr;
    }

    bool IsEditing() const { return !m_editor.isNull() && m_editor->isVisible(); }
    /// Counts the editors opened: text from one editor is one undo step.
    int EditorSerial() const { return m_editorSerial; }

private:
    TPictureGridModel& m_model;
    QWidget& m_colours;
    mutable QPointer<QWidget> m_editor;
    mutable int m_editorSerial = 0;
};

namespace {

/// The grid's header: the column title and, in columns 1 to 4, the sort mark that says a click
/// orders the pictures by that column.
class TGridHeader : public QHeaderView {
public:
    explicit TGridHeader(QWidget* parent)
        : QHeaderView(Qt::Horizontal, parent)
        , m_sortMark(KelvoIcon(10).pixmap(QSize(16, 16))) {}

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override {
        painter->save();
        QHeaderView::paintSection(painter, rect, logicalIndex);
        painter->restore();
        if (logicalIndex >= TPictureGridModel::ColTitle)
            painter->drawPixmap(rect.right() + 1 - 20, rect.top() + 2, m_sortMark);
    }

private:
    QPixmap m_sortMark;
};

} // namespace

TfrmKelvo::TfrmKelvo(TKelvoEnvironment& environment, QWidget* parent)
    : QMainWindow(parent)
    , ui(std::make_unique<Ui::TfrmKelvo>())
    , m_environment(environment) {
    ui->setupUi(this);
    const std::array<std::pair<QAction*, int>, 16> images{{
        {ui->actFileNew, 0},
        {ui->actFileOpen, 1},
        {ui->actFileSave, 2},
        {ui->actFileSaveAs, 3},
        {ui->actPictureAdd, 4},
        {ui->actPictureDelete, 5},
        {ui->actPictureUp, 6},
        {ui->actPictureDown, 7},
        {ui->actPictureOrderByTitle, 8},
        {ui->actPictureOrderByDate, 8},
        {ui->actPictureOrderByFilename, 8},
        {ui->actPictureOrderByComment, 8},
        {ui->actFileHtmlLayout, 9},
        {ui->actHelpInfo, 11},
        {ui->actViewDivide, 12},
        {ui->actHelpHelp, 14},
    }};
    for (const auto& [action, image] : images)
        action->setIcon(KelvoIcon(image));
    ui->actEditUndo->setIcon(KelvoThemeIcon(QStringLiteral("edit-undo"), QStyle::SP_ArrowBack));
    ui->actEditRedo->setIcon(KelvoThemeIcon(QStringLiteral("edit-redo"), QStyle::SP_ArrowForward));
    ui->mnuSupport->menuAction()->setVisible(false);

    m_environment.Language.TranslateComponent(this);

    FSplitSlideView = new TLargeSlideView(ui->spltSlideViews);
    FSplitSlideView->setObjectName(QStringLiteral("FSplitSlideView"));
    FSplitSlideView->setMinimumHeight(1);
    FMainSlideView = new TLargeSlideView(ui->spltSlideViews);
    FMainSlideView->setObjectName(QStringLiteral("FMainSlideView"));
    FMainSlideView->setMinimumHeight(1);
    ui->spltSlideViews->addWidget(FSplitSlideView);
    ui->spltSlideViews->addWidget(FMainSlideView);
    ui->spltSlideViews->setStretchFactor(1, 1);
    ui->spltSlideViews->setSizes({1, 1000});
    for (TLargeSlideView* view : {FSplitSlideView, FMainSlideView}) {
        PaintBackground(view->viewport());
        connect(view, &TLargeSlideView::OnMovePicture, this, &TfrmKelvo::SlideViewMovePicture);
        connect(view, &TLargeSlideView::OnCheckPicture, this, &TfrmKelvo::SlideViewCheckPicture);
        connect(view, &TLargeSlideView::OnSelectPicture, this,
                [this](TLargeSlideView* sender, TKelPicture* picture) {
                    SelectPicture(sender, picture);
                });
    }
    ui->spltGrid->setStretchFactor(0, 1);
    ui->spltGrid->setStretchFactor(1, 0);
    ui->spltGrid->setSizes({1000, 78});

    m_gridModel = new TPictureGridModel(this);
    TTamLanguage& language = m_environment.Language;
    m_gridModel->SetHeaders({language.GetText(2081, QStringLiteral("Title")),
                             language.GetText(2082, QStringLiteral("Comment")),
                             language.GetText(2083, QStringLiteral("Date")),
                             language.GetText(2084, QStringLiteral("Filename"))});
    m_gridDelegate = new TPictureGridDelegate(*m_gridModel, *this, this);
    auto* header = new TGridHeader(ui->grdData);
    ui->grdData->setHorizontalHeader(header);
    ui->grdData->setModel(m_gridModel);
    ui->grdData->setItemDelegate(m_gridDelegate);
    ui->grdData->verticalHeader()->hide();
    ui->grdData->verticalHeader()->setDefaultSectionSize(17);
    ui->grdData->setEditTriggers(QAbstractItemView::DoubleClicked |
                                 QAbstractItemView::EditKeyPressed |
                                 QAbstractItemView::AnyKeyPressed);
    header->setSectionsClickable(false);
    header->setHighlightSections(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    const std::array<int, TPictureGridModel::ColumnCount> widths{24, 128, 154, 128, 250};
    for (int c = 0; c < TPictureGridModel::ColumnCount; ++c)
        ui->grdData->setColumnWidth(c, widths[static_cast<std::size_t>(c)]);
    PaintBackground(ui->grdData->viewport());
    connect(ui->grdData->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &TfrmKelvo::grdDataCurrentChanged);
    connect(m_gridModel, &TPictureGridModel::TextEdited, this, &TfrmKelvo::grdDataTextEdited);
    ui->grdData->installEventFilter(this);
    ui->grdData->viewport()->installEventFilter(this);
    header->viewport()->installEventFilter(this);
    qApp->installEventFilter(this); // the window sees Control+Shift keys before any control

    connect(ui->actFileNew, &QAction::triggered, this, &TfrmKelvo::NewProject);
    connect(ui->actFileOpen, &QAction::triggered, this, &TfrmKelvo::OpenProject);
    connect(ui->actFileSave, &QAction::triggered, this, &TfrmKelvo::SaveProject);
    connect(ui->actFileSaveAs, &QAction::triggered, this, &TfrmKelvo::SaveProjectAs);
    connect(ui->actFileExit, &QAction::triggered, this, &QWidget::close);
    connect(ui->actPictureAdd, &QAction::triggered, this, &TfrmKelvo::actPictureAddExecute);
    connect(ui->actPictureDelete, &QAction::triggered, this, &TfrmKelvo::actPictureDeleteExecute);
    connect(ui->actPictureUp, &QAction::triggered, this, [this] { actPictureMoveExecute(-1); });
    connect(ui->actPictureDown, &QAction::triggered, this, [this] { actPictureMoveExecute(1); });
    const std::array<std::pair<QAction*, void (TKelPictureRefs::*)()>, 4> orders{{
        {ui->actPictureOrderByTitle, &TKelPictureRefs::OrderByTitle},
        {ui->actPictureOrderByComment, &TKelPictureRefs::OrderByComment},
        {ui->actPictureOrderByDate, &TKelPictureRefs::OrderByDate},
        {ui->actPictureOrderByFilename, &TKelPictureRefs::OrderByFileName},
    }};
    for (const auto& [action, order] : orders) {
        connect(action, &QAction::triggered, this, [this, action = action, order = order] {
            if (FProject == nullptr)
                return;
            PushCommand(new TOrderPicturesCommand(FProject->Pictures(), order,
                                                  action->text().remove(QLatin1Char('&'))));
        });
    }
    connect(ui->actFileHtmlLayout, &QAction::triggered, this, &TfrmKelvo::actFileHtmlLayoutExecute);
    m_undoStack = new QUndoStack(this);
    connect(ui->actEditUndo, &QAction::triggered, this, [this] { actEditUndoRedoExecute(false); });
    connect(ui->actEditRedo, &QAction::triggered, this, [this] { actEditUndoRedoExecute(true); });
    connect(ui->mnuFileRecent, &QMenu::aboutToShow, this, &TfrmKelvo::mnuFileRecentShow);
    connect(ui->actViewDivide, &QAction::triggered, this, &TfrmKelvo::actViewDivideExecute);
    connect(ui->spltSlideViews, &QSplitter::splitterMoved, this, &TfrmKelvo::spltSlideViewsMoved);
    connect(ui->actSupportHistory, &QAction::triggered, this, &TfrmKelvo::mnuSupportHistoryClick);
    connect(ui->actHelpHelp, &QAction::triggered, this, &TfrmKelvo::actHelpHelpExecute);
    connect(ui->actHelpInfo, &QAction::triggered, this, &TfrmKelvo::actHelpInfoExecute);
    setProperty("HelpContext", HelpContext); // what F1 shows

    // The enabled state of every action follows the project whenever the program goes idle.
    connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
            &TfrmKelvo::UpdateActions);
    UpdateActions();
    UpdateCaption();

    m_places = std::make_unique<TRememberedPlaces>();
    m_places->RestoreForm(FormName, *this);
    m_projectFolder = m_places->Folder(ProjectFolder);
    if (const QString pictures = m_places->Folder(PicturesFolder); !pictures.isEmpty())
        m_environment.Settings.SetPicturesDirectory(ToPath(pictures));
    mnuFileRecentShow(); // its menu item is disabled while the list is empty
}

TfrmKelvo::~TfrmKelvo() {
    qApp->removeEventFilter(this);
    m_undoStack->clear(); // before the project its steps refer to
    for (TLargeSlideView* view : {FSplitSlideView, FMainSlideView}) {
        disconnect(view, nullptr, this, nullptr);
        view->SetPictures(nullptr);
    }
    m_gridModel->SetPictures(nullptr);
}

// --- Project

void TfrmKelvo::ReplaceProject(std::unique_ptr<TKelProject> project) {
    // Nothing may show the old pictures once they are gone, nor undo a change to them.
    m_undoStack->clear();
    m_gridDelegate->CloseEditor();
    for (TLargeSlideView* view : {FSplitSlideView, FMainSlideView})
        view->SetPictures(nullptr);
    m_gridModel->SetPictures(nullptr);
    FCurrentPicture = nullptr;
    FProject = std::move(project);
    if (FProject != nullptr) {
        for (TLargeSlideView* view : {FSplitSlideView, FMainSlideView})
            view->SetPictures(&FProject->Pictures());
        m_gridModel->SetPictures(&FProject->Pictures());
    }
}

void TfrmKelvo::actHelpHelpExecute() {
    if (m_environment.Help)
        m_environment.Help->ShowTableOfContents(this);
}

void TfrmKelvo::actHelpInfoExecute() {
    TfrmInfo info(m_environment.Language, this);
    info.exec();
}

void TfrmKelvo::NewProject() {
    if (m_busy || !QuerySaveProject())
        return;
    auto project = std::make_unique<TKelProject>();
    // A gallery speaks the program's language unless the user chooses another.
    project->Layouts().SetLanguage(m_environment.Language.ShownLanguage().toStdString());
    project->Layouts().History().Clear();
    ReplaceProject(std::move(project));
    UpdateCaption();
    UpdateViews();
}

void TfrmKelvo::OpenProject() {
    if (!QuerySaveProject())
        return;
    const QString fileName =
        m_environment.Prompts.GetOpenFileName(this, QString(), m_projectFolder, ProjectFilter);
    if (fileName.isEmpty())
        return;
    OpenProjectFile(fileName);
}

void TfrmKelvo::RememberProject(const QString& fileName) {
    m_projectFolder = QFileInfo(fileName).absolutePath();
    m_places->SetFolder(ProjectFolder, m_projectFolder);
    m_places->AddRecentProject(fileName);
}

void TfrmKelvo::mnuFileRecentShow() {
    QMenu* menu = ui->mnuFileRecent;
    menu->clear();
    const QStringList files = m_places->RecentProjects();
    for (int i = 0; i < files.size(); ++i) {
        const QString& file = files[i];
        QAction* action = menu->addAction(
            QStringLiteral("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(file)));
        connect(action, &QAction::triggered, this, [this, file] { OpenRecentProject(file); });
    }
    menu->menuAction()->setEnabled(!files.isEmpty());
}

void TfrmKelvo::OpenRecentProject(const QString& fileName) {
    if (m_busy)
        return;
    if (!QFileInfo(fileName).isFile()) {
        m_places->RemoveRecentProject(fileName);
        mnuFileRecentShow();
        TTamLanguage& language = m_environment.Language;
        m_environment.Prompts.Message(
            this, QMessageBox::Warning, language.GetText(2080),
            TTamLanguage::Format(
                language.GetText(3120, QStringLiteral("The project %s no longer exists. It has "
                                                      "been removed from the recent "
                                                      "projects.")),
                {QDir::toNativeSeparators(fileName)}),
            QMessageBox::Ok);
        return;
    }
    if (QuerySaveProject())
        OpenProjectFile(fileName);
}

void TfrmKelvo::OpenProjectFile(const QString& fileName) {
    if (m_busy)
        return;
    TTamLanguage& language = m_environment.Language;
    // Read into a project of its own: a file that cannot be read leaves the open project
    // untouched, and one that can becomes the open project as read, without a second read
    // that could fail unnoticed.
    auto project = std::make_unique<TKelProject>();
    if (!project->LoadFromFile(ToPath(fileName))) {
        m_environment.Prompts.Message(
            this, QMessageBox::Warning, language.GetText(2080),
            language.GetText(3074, QStringLiteral("The project couldn't be opened !")),
            QMessageBox::Ok);
        return;
    }
    ReplaceProject(std::move(project));
    RememberProject(fileName);
    m_busy = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    setEnabled(false);
    try {
        LoadThumbnails(language.GetText(2086, QStringLiteral("Loading pictures: %d of %d")));
    } catch (const std::exception&) {
        // The pictures whose thumbnail could not be made show without one.
    }
    setEnabled(true);
    QApplication::restoreOverrideCursor();
    m_busy = false;
    UpdateViews();
    UpdateCaption();
    UpdateViews();
}

void TfrmKelvo::LoadThumbnails(const QString& statusFormat) {
    std::vector<TKelPicture*> pictures;
    for (TKelPicture* picture : FProject->Pictures())
        if (picture->Thumbnail() == nullptr)
            pictures.push_back(picture);
    m_statusFormat = statusFormat;
    m_loadedCount = 0;
    m_loadingCount = static_cast<int>(pictures.size());
    m_repaintClock.invalidate();
    TThumbnailLoader::Run(pictures, [this](TKelPicture& picture) { PictureLoaded(&picture); });
    statusBar()->clearMessage();
}

void TfrmKelvo::PictureLoaded(TKelPicture* picture) {
    ++m_loadedCount;
    // Showing every picture at once would cost more than decoding it: the window catches up
    // about 25 times a second, and with the last one.
    if (m_repaintClock.isValid() && m_repaintClock.elapsed() < 40 && m_loadedCount < m_loadingCount)
        return;
    m_repaintClock.start();
    statusBar()->showMessage(TTamLanguage::Format(m_statusFormat, {m_loadedCount, m_loadingCount}));
    UpdateViews();
    if (picture != nullptr)
        FMainSlideView->ScrollPictureInView(picture);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

bool TfrmKelvo::SaveProject() {
    if (FProject == nullptr || !FProject->History().IsModified())
        return true;
    if (FProject->FileName().empty())
        return SaveProjectAs();
    const bool saved = FProject->SaveToFile(FProject->FileName());
    if (saved)
        RememberProject(FromPath(FProject->FileName()));
    return saved;
}

bool TfrmKelvo::SaveProjectAs() {
    if (FProject == nullptr)
        return true;
    QString fileName =
        m_environment.Prompts.GetSaveFileName(this, QString(), m_projectFolder, ProjectFilter);
    if (fileName.isEmpty())
        return false;
    if (QFileInfo(fileName).suffix().isEmpty())
        fileName += QStringLiteral(".kel");
    m_projectFolder = QFileInfo(fileName).absolutePath();
    const bool saved = FProject->SaveToFile(ToPath(fileName));
    if (saved)
        RememberProject(fileName);
    UpdateCaption();
    return saved;
}

bool TfrmKelvo::QuerySaveProject() {
    if (FProject == nullptr || !FProject->History().IsModified())
        return true;
    TTamLanguage& language = m_environment.Language;
    const auto answer = m_environment.Prompts.Message(
        this, QMessageBox::Question, language.GetText(2080),
        language.GetText(
            3073,
            QStringLiteral(
                "The active project will be closed, do you want to save the project before ?")),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    if (answer == QMessageBox::Yes)
        return SaveProject();
    return answer == QMessageBox::No;
}

bool TfrmKelvo::CloseProject() {
    if (!QuerySaveProject())
        return false;
    ReplaceProject(nullptr);
    UpdateCaption();
    UpdateViews();
    return true;
}

void TfrmKelvo::UpdateCaption() {
    TTamLanguage& language = m_environment.Language;
    QString caption = language.GetText(2080, QStringLiteral("Kelvo"));
    if (FProject != nullptr) {
        QString name = QFileInfo(FromPath(FProject->FileName())).fileName();
        if (const qsizetype dot = name.lastIndexOf(QLatin1Char('.')); dot >= 0)
            name.truncate(dot);
        if (FProject->FileName().empty())
            name = language.GetText(2085, QStringLiteral("Unknown"));
        caption += QStringLiteral(" - ") + name;
    }
    setWindowTitle(caption);
}

// --- Views

void TfrmKelvo::UpdateViews() {
    FSplitSlideView->UpdateSlides();
    FMainSlideView->UpdateSlides();
    UpdateGrid();
}

void TfrmKelvo::UpdateGrid() {
    m_gridDelegate->CloseEditor();
    // When rows go, Qt moves the cursor off them: that is no click on another picture.
    m_gridCursorLocked = true;
    m_gridModel->Refresh();
    const int index = FProject != nullptr ? FProject->Pictures().IndexOf(FCurrentPicture) : -1;
    const QModelIndex current = ui->grdData->currentIndex();
    if (index < 0)
        ui->grdData->selectionModel()->clear();
    else if (current.row() != index)
        ui->grdData->setCurrentIndex(m_gridModel->index(
            index, current.isValid() ? current.column() : TPictureGridModel::ColTitle));
    m_gridCursorLocked = false;
    ui->grdData->viewport()->update();
}

void TfrmKelvo::UpdateActions() {
    const bool project = FProject != nullptr;
    const TKelPictureList* pictures = project ? &FProject->Pictures() : nullptr;
    const int count = pictures != nullptr ? pictures->Count() : 0;
    const int current = pictures != nullptr ? pictures->IndexOf(FCurrentPicture) : -1;
    ui->actFileSave->setEnabled(project && FProject->History().IsModified());
    ui->actFileSaveAs->setEnabled(project);
    ui->actFileHtmlLayout->setEnabled(project);
    ui->actPictureAdd->setEnabled(project);
    ui->actPictureDelete->setEnabled(pictures != nullptr && pictures->SelectedCount() > 0);
    ui->actPictureUp->setEnabled(current >= 1 && current <= count - 1);
    ui->actPictureDown->setEnabled(current >= 0 && current <= count - 2);
    for (QAction* order : {ui->actPictureOrderByTitle, ui->actPictureOrderByDate,
                           ui->actPictureOrderByFilename, ui->actPictureOrderByComment})
        order->setEnabled(count >= 2);
    ui->actSupportHistory->setEnabled(project);
    ui->actEditUndo->setEnabled(project && !m_busy && m_undoStack->canUndo());
    ui->actEditRedo->setEnabled(project && !m_busy && m_undoStack->canRedo());
}

void TfrmKelvo::UpdateAfterChange() {
    if (FProject != nullptr && FProject->Pictures().IndexOf(FCurrentPicture) < 0) {
        FCurrentPicture = nullptr;
        FSplitSlideView->SetCurrentPicture(nullptr);
        FMainSlideView->SetCurrentPicture(nullptr);
    }
    UpdateViews();
}

void TfrmKelvo::PushCommand(QUndoCommand* command) {
    m_gridDelegate->CloseEditor();
    m_undoStack->push(command);
    UpdateAfterChange();
}

void TfrmKelvo::actEditUndoRedoExecute(bool redo) {
    if (FProject == nullptr || m_busy || !(redo ? m_undoStack->canRedo() : m_undoStack->canUndo()))
        return;
    m_gridDelegate->CloseEditor();
    if (redo)
        m_undoStack->redo();
    else
        m_undoStack->undo();
    UpdateAfterChange();
}

void TfrmKelvo::SelectPicture(QObject* sender, TKelPicture* picture) {
    if (FProject == nullptr || picture == nullptr)
        return;
    const Qt::KeyboardModifiers keys = QGuiApplication::keyboardModifiers();
    TKelPictureList& pictures = FProject->Pictures();
    const int a = pictures.IndexOf(FCurrentPicture);
    const int b = pictures.IndexOf(picture);
    if (b < 0) {
        for (TKelPicture* p : pictures)
            p->SetSelected(false);
    } else if (keys.testFlag(Qt::ControlModifier)) {
        picture->SetSelected(!picture->Selected());
    } else if (keys.testFlag(Qt::ShiftModifier)) {
        // Without a current picture the range starts at the clicked one.
        const int from = a < 0 ? b : std::min(a, b);
        const int to = a < 0 ? b : std::max(a, b);
        for (int i = 0; i < pictures.Count(); ++i)
            pictures.GetPicture(i)->SetSelected(i >= from && i <= to);
    } else {
        for (TKelPicture* p : pictures)
            p->SetSelected(false);
        picture->SetSelected(true);
    }
    FCurrentPicture = picture;
    FSplitSlideView->SetCurrentPicture(picture);
    FMainSlideView->SetCurrentPicture(picture);
    UpdateViews();
    if (sender == ui->grdData)
        FMainSlideView->ScrollPictureInView(picture);
}

void TfrmKelvo::SlideViewMovePicture(TLargeSlideView*, int fromIndex, int toIndex) {
    if (FProject == nullptr)
        return;
    PushCommand(new TMovePictureCommand(
        FProject->Pictures(), fromIndex, toIndex,
        m_environment.Language.GetText(2270, QStringLiteral("Move picture"))));
}

void TfrmKelvo::SlideViewCheckPicture(TLargeSlideView*, TKelPicture* picture) {
    if (FProject == nullptr || picture == nullptr)
        return;
    m_undoStack->push(new TPictureCheckCommand(
        *picture, m_environment.Language.GetText(2271, QStringLiteral("Check mark"))));
}

void TfrmKelvo::grdDataTextEdited(TKelPicture* picture, int column, const QString& text) {
    if (FProject == nullptr || picture == nullptr)
        return;
    const bool title = column == TPictureGridModel::ColTitle;
    // Pushed without a refresh: that would close the editor the text comes from.
    m_undoStack->push(new TPictureTextCommand(
        *picture, title ? TPictureTextCommand::TField::Title : TPictureTextCommand::TField::Comment,
        text.toStdString(), m_gridDelegate->EditorSerial(),
        m_gridModel->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString()));
}

// --- Pictures

void TfrmKelvo::actPictureAddExecute() {
    if (FProject == nullptr)
        return;
    TTamLanguage& language = m_environment.Language;
    const QString filter = PictureFilter(language.GetText(2087, QStringLiteral("All pictures")));
    const QStringList files = m_environment.Prompts.GetOpenFileNames(
        this, QString(), FromPath(m_environment.Settings.PicturesDirectory()), filter);
    if (files.isEmpty())
        return;
    const QString folder =
        QDir::toNativeSeparators(QFileInfo(files.first()).absolutePath()) + QDir::separator();
    m_environment.Settings.SetPicturesDirectory(ToPath(folder));
    m_places->SetFolder(PicturesFolder, folder);
    AddPictureFiles(files);
}

void TfrmKelvo::AddPictureFiles(const QStringList& fileNames) {
    if (FProject == nullptr || fileNames.isEmpty() || m_busy)
        return;
    m_busy = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    setEnabled(false);
    std::vector<TKelPicture*> added;
    try {
        for (const QString& fileName : fileNames) {
            TKelPicture* picture = FProject->Pictures().CreatePicture();
            picture->SetFileName(ToPath(fileName));
            added.push_back(picture);
        }
        m_statusFormat =
            m_environment.Language.GetText(2086, QStringLiteral("Loading pictures: %d of %d"));
        m_loadedCount = 0;
        m_loadingCount = static_cast<int>(added.size());
        m_repaintClock.invalidate();
        TThumbnailLoader::Run(added, [this](TKelPicture& picture) { PictureLoaded(&picture); });
    } catch (const std::exception&) {
        // What was added stays; the window must come back in any case.
    }
    statusBar()->clearMessage();
    setEnabled(true);
    QApplication::restoreOverrideCursor();
    m_busy = false;
    if (added.empty())
        return;
    PushCommand(new TAddRemovePicturesCommand(FProject->Pictures(), std::move(added),
                                              TAddRemovePicturesCommand::TKind::Add,
                                              ui->actPictureAdd->text().remove(QLatin1Char('&'))));
}

QStringList TfrmKelvo::DroppedPictureFiles(const QStringList& paths) {
    QStringList files;
    for (const QString& path : paths) {
        const QFileInfo info(path);
        if (info.isDir()) {
            const QFileInfoList entries = QDir(path).entryInfoList(
                PicturePatterns(PictureFamilies()), QDir::Files, QDir::Name | QDir::IgnoreCase);
            for (const QFileInfo& entry : entries)
                files.append(entry.absoluteFilePath());
        } else if (info.isFile() && IsPictureFile(path)) {
            files.append(info.absoluteFilePath());
        }
    }
    return files;
}

void TfrmKelvo::actPictureDeleteExecute() {
    if (FProject == nullptr)
        return;
    TTamLanguage& language = m_environment.Language;
    const auto answer = m_environment.Prompts.Message(
        this, QMessageBox::Question, language.GetText(1122).remove(QLatin1Char('&')),
        language.GetText(
            3072, QStringLiteral("Do you really want to remove the selected pictures from the "
                                 "list (the pictures won't be deleted) ?")),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    if (answer != QMessageBox::Yes)
        return;
    std::vector<TKelPicture*> selected;
    for (TKelPicture* picture : FProject->Pictures())
        if (picture->Selected())
            selected.push_back(picture);
    // Removing leaves no current picture, also when the current one stays.
    FCurrentPicture = nullptr;
    FSplitSlideView->SetCurrentPicture(nullptr);
    FMainSlideView->SetCurrentPicture(nullptr);
    PushCommand(new TAddRemovePicturesCommand(
        FProject->Pictures(), std::move(selected), TAddRemovePicturesCommand::TKind::Remove,
        ui->actPictureDelete->text().remove(QLatin1Char('&'))));
}

void TfrmKelvo::actPictureMoveExecute(int step) {
    if (FProject == nullptr)
        return;
    TKelPictureList& pictures = FProject->Pictures();
    const int index = pictures.IndexOf(FCurrentPicture);
    if (index < 0 || index + step < 0 || index + step >= pictures.Count())
        return;
    const QAction* action = step < 0 ? ui->actPictureUp : ui->actPictureDown;
    PushCommand(new TMovePictureCommand(pictures, index, index + step,
                                        action->text().remove(QLatin1Char('&'))));
}

void TfrmKelvo::actFileHtmlLayoutExecute() {
    if (FProject == nullptr || m_busy)
        return;
    FProject->Pictures().UncheckMissing();
    const std::string before = FProject->LayoutSettings();
    {
        // The dialog holds the open project until it is destroyed: no New or Open may replace
        // it meanwhile, not even by a key that reaches this window after OK hid the dialog
        // but before its event loop ended.
        m_busy = true;
        const auto idle = qScopeGuard([this] { m_busy = false; });
        TfrmHtmlLayout dialog(*FProject, m_environment, this);
        dialog.exec();
    }
    // OK, and the gallery runs on the way, changed layouts and folders: one step to undo.
    if (std::string after = FProject->LayoutSettings(); after != before)
        PushCommand(
            new TLayoutSettingsCommand(*FProject, before, std::move(after),
                                       ui->actFileHtmlLayout->text().remove(QLatin1Char('&'))));
    // The dialog and its gallery runs may have changed check marks and settings.
    UpdateViews();
    UpdateCaption();
}

void TfrmKelvo::actViewDivideExecute() {
    const bool split = ui->actViewDivide->isChecked();
    ui->actViewDivide->setIcon(KelvoIcon(split ? 13 : 12));
    QList<int> sizes = ui->spltSlideViews->sizes();
    const int total = sizes.value(0) + sizes.value(1);
    const int height = split ? FSplitSlideView->Margin() + FSplitSlideView->SlideHeight() +
                                   FSplitSlideView->Spacing() + 2
                             : 1;
    ui->spltSlideViews->setSizes({height, std::max(1, total - height)});
    if (!split)
        FSplitSlideView->verticalScrollBar()->setValue(0);
}

void TfrmKelvo::spltSlideViewsMoved() {
    ui->actViewDivide->setChecked(FSplitSlideView->height() > 1);
}

// --- Grid

void TfrmKelvo::grdDataCurrentChanged(const QModelIndex& current, const QModelIndex& previous) {
    if (m_gridCursorLocked || FProject == nullptr || !current.isValid())
        return;
    TKelPicture* picture = m_gridModel->Picture(current.row());
    const int column = current.column();
    if (column != TPictureGridModel::ColTitle && column != TPictureGridModel::ColComment) {
        // Only Title and Comment take the cursor; the row's picture still becomes current.
        m_gridCursorLocked = true;
        ui->grdData->selectionModel()->setCurrentIndex(
            previous,
            previous.isValid() ? QItemSelectionModel::ClearAndSelect : QItemSelectionModel::Clear);
        m_gridCursorLocked = false;
    }
    if (picture != FCurrentPicture)
        SelectPicture(ui->grdData, picture);
}

void TfrmKelvo::grdDataHeaderReleased(QPoint position) {
    if (FProject == nullptr)
        return;
    QHeaderView* header = ui->grdData->horizontalHeader();
    const int column = header->logicalIndexAt(position);
    if (column < TPictureGridModel::ColTitle || column > TPictureGridModel::ColFileName)
        return;
    const int left = header->sectionViewportPosition(column);
    const int right = left + header->sectionSize(column);
    // A click near a border is the end of a resize.
    if (position.x() < left + 4 || position.x() > right - 4)
        return;
    QAction* orders[] = {nullptr, ui->actPictureOrderByTitle, ui->actPictureOrderByComment,
                         ui->actPictureOrderByDate, ui->actPictureOrderByFilename};
    UpdateActions();
    if (orders[column]->isEnabled())
        orders[column]->trigger();
}

bool TfrmKelvo::grdDataKeyPress(QKeyEvent* event) {
    const QModelIndex current = ui->grdData->currentIndex();
    if ((event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) && current.isValid()) {
        // Tab walks the editable cells only: Title, Comment, the next row's Title.
        const bool forward = event->key() == Qt::Key_Tab;
        const int cell = current.row() * 2 + (current.column() == TPictureGridModel::ColComment);
        const int next = cell + (forward ? 1 : -1);
        if (next >= 0 && next < m_gridModel->rowCount() * 2)
            ui->grdData->setCurrentIndex(
                m_gridModel->index(next / 2, next % 2 == 0 ? TPictureGridModel::ColTitle
                                                           : TPictureGridModel::ColComment));
        return true;
    }
    if (event->key() != Qt::Key_Delete || m_gridDelegate->IsEditing() || FProject == nullptr)
        return false;
    TKelPicture* picture = m_gridModel->Picture(current.row());
    if (picture == nullptr)
        return false;
    if (current.column() != TPictureGridModel::ColTitle &&
        current.column() != TPictureGridModel::ColComment)
        return false;
    m_undoStack->push(new TPictureTextCommand(
        *picture,
        current.column() == TPictureGridModel::ColTitle ? TPictureTextCommand::TField::Title
                                                        : TPictureTextCommand::TField::Comment,
        {}, -1,
        m_gridModel->headerData(current.column(), Qt::Horizontal, Qt::DisplayRole).toString()));
    ui->grdData->viewport()->update();
    return true;
}

bool TfrmKelvo::grdDataMouseWheel(QWheelEvent* event) {
    const QPoint point = ui->pnlSlides->mapFromGlobal(event->globalPosition().toPoint());
    const QWidget* under = ui->pnlSlides->childAt(point);
    if (under == nullptr)
        return false;
    const int steps = event->angleDelta().y() / 120; // positive: wheel up
    if (steps == 0)
        return true;
    for (TLargeSlideView* view : {FSplitSlideView, FMainSlideView}) {
        if (view->isAncestorOf(under)) {
            view->verticalScrollBar()->setValue(view->verticalScrollBar()->value() - 20 * steps);
            return true;
        }
    }
    if (ui->grdData->isAncestorOf(under) || under == ui->grdData) {
        // The grid scrolls one row per notch.
        QScrollBar* bar = ui->grdData->verticalScrollBar();
        bar->setValue(bar->value() - steps);
    }
    return true;
}

bool TfrmKelvo::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        const auto* widget = qobject_cast<QWidget*>(watched);
        const bool mine = widget != nullptr && widget->window() == this;
        const Qt::KeyboardModifiers both = Qt::ControlModifier | Qt::ShiftModifier;
        if (mine && (key->modifiers() & both) == both && key->key() >= Qt::Key_Space &&
            key->key() <= Qt::Key_AsciiTilde) {
            // Control and Shift characters belong to the window: none reaches an editor.
            if (event->type() == QEvent::KeyPress && key->key() == SupportMenuKey &&
                !key->isAutoRepeat()) {
                QAction* menu = ui->mnuSupport->menuAction();
                menu->setVisible(!menu->isVisible());
            } else if (event->type() == QEvent::KeyPress && key->key() == RedoKey) {
                UpdateActions();
                if (ui->actEditRedo->isEnabled())
                    ui->actEditRedo->trigger();
            }
            return true;
        }
        if (watched == ui->grdData && event->type() == QEvent::KeyPress)
            return grdDataKeyPress(key);
    } else if (event->type() == QEvent::Wheel && watched == ui->grdData->viewport()) {
        return grdDataMouseWheel(static_cast<QWheelEvent*>(event));
    } else if (event->type() == QEvent::MouseButtonRelease &&
               watched == ui->grdData->horizontalHeader()->viewport()) {
        grdDataHeaderReleased(static_cast<QMouseEvent*>(event)->position().toPoint());
    }
    return QMainWindow::eventFilter(watched, event);
}

void TfrmKelvo::mnuSupportHistoryClick() {
    if (FProject == nullptr)
        return;
    QStringList lines{QStringLiteral("History"), QStringLiteral("*******")};
    for (const std::string& item : FProject->History().Items())
        lines.append(QString::fromStdString(item));
    const QString text = lines.join(QLatin1Char('\n'));
    QGuiApplication::clipboard()->setText(text);
    m_environment.Prompts.Message(nullptr, QMessageBox::NoIcon,
                                  QStringLiteral("Copied to clipboard"), text, QMessageBox::Ok);
}

// --- Window

void TfrmKelvo::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    // A remembered split view is open: the splitter's sizes are real once shown.
    ui->actViewDivide->setChecked(FSplitSlideView->height() > 1);
    ui->actViewDivide->setIcon(KelvoIcon(ui->actViewDivide->isChecked() ? 13 : 12));
    NewProject();
}

void TfrmKelvo::closeEvent(QCloseEvent* event) {
    if (m_busy || !CloseProject()) {
        event->ignore();
        return;
    }
    m_places->SaveForm(FormName, *this);
    event->accept();
}

void TfrmKelvo::dragEnterEvent(QDragEnterEvent* event) {
    if (FProject != nullptr && !m_busy && event->mimeData()->hasUrls())
        event->acceptProposedAction();
    else
        QMainWindow::dragEnterEvent(event);
}

void TfrmKelvo::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile())
            paths.append(url.toLocalFile());
    const QStringList files = DroppedPictureFiles(paths);
    if (files.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    // Added once the drop is over, so the file manager is not kept waiting while they load.
    QTimer::singleShot(0, this, [this, files] { AddPictureFiles(files); });
}
