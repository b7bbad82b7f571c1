// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/TfrmHtmlLayout.h"

#include <QApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLocale>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShowEvent>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QWebEngineProfile>
#include <QWheelEvent>

#include <pugixml.hpp>

#include <algorithm>
#include <array>
#include <exception>
#include <string>
#include <vector>

#include "generator/TKelPageGenerator.h"
#include "generator/TKelPictureFrame.h"
#include "generator/TKelPictureGenerator.h"
#include "imaging/BM_Geometry.h"
#include "imaging/PictureFormat.h"
#include "imaging/TBM_Bitmap.h"
#include "language/THelpManager.h"
#include "language/TTamLanguage.h"
#include "model/TKelLayer.h"
#include "model/TKelLayout.h"
#include "model/TKelPicture.h"
#include "model/TKelProject.h"
#include "model/TSettings.h"
#include "template/TKelPageDirectory.h"
#include "template/TKelPageFile.h"
#include "template/TKelTemplateCheck.h"
#include "ui/ControlState.h"
#include "ui/TEditPause.h"
#include "ui/TFrmHtmlOutput.h"
#include "ui/TKelvoEnvironment.h"
#include "ui/TKelvoIcons.h"
#include "ui/TPreviewPage.h"
#include "ui/TPrompts.h"
#include "ui/TRememberedPlaces.h"
#include "ui/ui_TfrmHtmlLayout.h"

namespace {

// The name the dialog's size and splitters are remembered under.
const QString FormName = QStringLiteral("LayoutDialog");
constexpr int LayoutRole = Qt::UserRole;
constexpr int LayerRole = Qt::UserRole + 1;
constexpr int PictureRole = Qt::UserRole;
constexpr int MaxCount = 100;
constexpr int MaxPictureSide = 99999;
constexpr int CustomSizeItem = 7;
// The main window's image for the HTML picture gallery, which a layer's page is part of.
constexpr int HtmlLayoutIcon = 9;
// Pixels the settings scroll per notch of the mouse wheel.
constexpr int WheelStep = 20;

struct TSizePreset {
    int TextId;
    int Width;
    int Height;
};
constexpr std::array<TSizePreset, 8> SizePresets{{{2191, 90, 90},
                                                  {2192, 140, 140},
                                                  {2193, 200, 200},
                                                  {2194, 500, 460},
                                                  {2195, 600, 560},
                                                  {2196, 768, 640},
                                                  {2197, 0, 0},
                                                  {2198, 0, 0}}};

const QUrl BlankPage(QStringLiteral("about:blank"));

// The text numbers of the template check's messages, by the kind of finding.
constexpr std::array<int, 15> FindingTextIds{3160, 3161, 3162, 3163, 3164, 3165, 3166, 3167,
                                             3168, 3169, 2330, 2331, 2332, 2333, 2334};
static_assert(FindingTextIds.size() ==
              static_cast<std::size_t>(TKelTemplateFinding::TKind::CellOutsideRow) + 1);

// A finding's message and suggestion in the user's language; the English formats are the
// check's own.
QString FindingMessage(TTamLanguage& language, const TKelTemplateFinding& finding) {
    QVariantList arguments;
    for (const std::string& argument : finding.Arguments)
        arguments.append(QString::fromStdString(argument));
    QString message = language.GetTextFmt(
        FindingTextIds[static_cast<std::size_t>(finding.Kind)],
        QString::fromUtf8(TKelTemplateFinding::Format(finding.Kind)), arguments);
    if (!finding.Suggestion.empty())
        message +=
            " (" +
            language.GetTextFmt(2335, QString::fromUtf8(TKelTemplateFinding::SuggestionFormat),
                                {QString::fromStdString(finding.Suggestion)}) +
            ")";
    return message;
}

/// The hourglass for as long as a reaction runs, restored also when it fails.
class TWaitCursor {
public:
    TWaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TWaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;
};

std::uint32_t PackedColor(const QColor& color) {
    return static_cast<std::uint32_t>(color.red()) |
           (static_cast<std::uint32_t>(color.green()) << 8) |
           (static_cast<std::uint32_t>(color.blue()) << 16);
}

QPixmap ThumbnailPixmap(const TBM_Bitmap& thumbnail) {
    const QImage image(thumbnail.ScanLine(0), thumbnail.Width(), thumbnail.Height(),
                       thumbnail.Width() * TBM_Bitmap::BytesPerPixel, QImage::Format_RGBX8888);
    return QPixmap::fromImage(image.copy());
}

/// Draws the entries of the test picture list: each thumbnail as large as fits its row, on the
/// button face colour.
class TPictureSelectionDelegate : public QStyledItemDelegate {
public:
    static constexpr int ItemHeight = 52;

    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        painter->fillRect(option.rect, option.palette.button());
        if (option.state & QStyle::State_Selected)
            painter->fillRect(option.rect, option.palette.highlight());
        const QPixmap pixmap = index.data(Qt::DecorationRole)
                                   .value<QIcon>()
                                   .pixmap(TKelPicture::ThumbnailSize, TKelPicture::ThumbnailSize);
        if (pixmap.isNull() || option.rect.width() < 3 || option.rect.height() < 3)
            return;
        const QSize size = pixmap.deviceIndependentSize().toSize();
        if (size.width() < 2 || size.height() < 2)
            return;
        const QRect& r = option.rect;
        const TRect frame{r.left(), r.top(), r.right(), r.bottom()};
        const TRect fitted =
            GrowRect(FitRectCentered(frame, {0, 0, size.width() - 1, size.height() - 1}), -1);
        painter->drawPixmap(
            QRect(QPoint(fitted.Left, fitted.Top), QPoint(fitted.Right, fitted.Bottom)), pixmap);
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {QStyledItemDelegate::sizeHint(option, index).width(), ItemHeight};
    }
};

// The pictures the generator writes of picture for layer; none when its source cannot be read.
std::vector<TKelPictureFrame> WrittenFrames(const TKelLayer& layer, const TKelPicture& picture) {
    try {
        const TPictureSize size = ReadPictureSize(picture.FileName());
        return PictureFrames(layer, size.Width, size.Height);
    } catch (const std::exception&) {
        return {};
    }
}

// The tree's images: a layout and a layer, each with its own picture when selected.
QIcon TreeIcon(const QIcon& normal, const QIcon& selected) {
    QIcon icon;
    icon.addPixmap(normal.pixmap(24, 24), QIcon::Normal);
    icon.addPixmap(selected.pixmap(24, 24), QIcon::Selected);
    return icon;
}

} // namespace

TfrmHtmlLayout::TfrmHtmlLayout(TKelProject& project, TKelvoEnvironment& environment,
                               QWidget* parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::TfrmHtmlLayout>())
    , m_project(project)
    , m_environment(environment) {
    ui->setupUi(this);
    m_environment.Language.TranslateComponent(this);
    setProperty("HelpContext", HelpContext);
    ui->webPreview->setProperty("HelpContext", HelpContext);

    ui->splLayout->setSizes({169, 212, 265});
    ui->splLayout->setStretchFactor(2, 1);
    m_sizeRemembered = TRememberedPlaces().RestoreForm(FormName, *this);
    ui->btnOk->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    ui->btnCancel->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    ui->btnCreateHtml->setIcon(
        QIcon::fromTheme("document-export", style()->standardIcon(QStyle::SP_DriveNetIcon)));
    ui->btnHelp->setIcon(style()->standardIcon(QStyle::SP_DialogHelpButton));

    // A preview must always show the files as they are now: no cache, nothing kept on disk.
    m_profile = new QWebEngineProfile(this);
    m_profile->setHttpCacheType(QWebEngineProfile::NoCache);
    m_page = new TPreviewPage(m_profile, ui->webPreview);
    ui->webPreview->setPage(m_page);
    connect(m_page, &QWebEnginePage::loadFinished, this, &TfrmHtmlLayout::PreviewLoaded);

    TTamLanguage& language = m_environment.Language;
    ui->grdTemplateCheck->setColumnCount(4);
    ui->grdTemplateCheck->setHorizontalHeaderLabels(
        {language.GetText(2323, "File"), language.GetText(2324, "Line"),
         language.GetText(2325, "Column"), language.GetText(2326, "Message")});
    ui->grdTemplateCheck->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    ui->lblTemplateCheck->hide();
    ui->grdTemplateCheck->hide();
    // Messages wrap within their column, so a row's height follows the column's width.
    connect(ui->grdTemplateCheck->horizontalHeader(), &QHeaderView::sectionResized,
            ui->grdTemplateCheck, &QTableWidget::resizeRowsToContents);

    ui->cmbPictureSelection->setItemDelegate(
        new TPictureSelectionDelegate(ui->cmbPictureSelection));
    ui->cmbPictureSelection->setMaxVisibleItems(5);
    ui->cmbPictureSelection->setIconSize({TKelPicture::ThumbnailSize, 40});

    for (QWidget* exitWatched :
         {static_cast<QWidget*>(ui->memTitle), static_cast<QWidget*>(ui->memText),
          static_cast<QWidget*>(ui->edtPictureWidth), static_cast<QWidget*>(ui->edtPictureHeight),
          static_cast<QWidget*>(ui->trkbPictureQuality),
          static_cast<QWidget*>(ui->edtPictureQuality)})
        exitWatched->installEventFilter(this);
    ui->scrlLayoutControls->viewport()->installEventFilter(this);
    // The preview follows typing too, once it pauses; leaving a field still updates at once.
    auto* pause = new TEditPause(this);
    pause->Watch(ui->memTitle);
    pause->Watch(ui->memText);
    pause->Watch(ui->edtPictureWidth);
    pause->Watch(ui->edtPictureHeight);
    connect(pause, &TEditPause::Paused, this, [this](QWidget* field) {
        if (field == ui->memTitle || field == ui->memText)
            memTitleTextExit();
        else
            edtPictureWidthHeightExit();
    });

    connect(ui->tvwLayouts, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* node) { tvwLayoutsChange(node); });
    connect(ui->tvwLayouts, &QTreeWidget::currentItemChanged, this,
            [this](const QTreeWidgetItem* node) { ShowTemplateCheck(node); });
    connect(ui->cmbColCount, &QComboBox::activated, this, &TfrmHtmlLayout::cmbColRowCountChange);
    connect(ui->cmbRowCount, &QComboBox::activated, this, &TfrmHtmlLayout::cmbColRowCountChange);
    connect(ui->cmbPictureSize, &QComboBox::activated, this, &TfrmHtmlLayout::cmbPictureSizeChange);
    connect(ui->trkbPictureQuality, &QSlider::valueChanged, this,
            &TfrmHtmlLayout::trkbPictureQualityChange);
    // Letting go of the thumb counts as leaving the track bar, so a drag shows its result.
    connect(ui->trkbPictureQuality, &QSlider::sliderReleased, this,
            &TfrmHtmlLayout::trkbPictureQualityExit);
    connect(ui->cmbPictureSelection, &QComboBox::activated, this,
            &TfrmHtmlLayout::cmbPictureSelectionChange);
    // Set here, as the translation would take a leading number for a text's number.
    for (const auto& [density, box] : DensityBoxes()) {
        box->setText(QString::number(density) + QChar(0x00D7));
        connect(box, &QCheckBox::clicked, this, &TfrmHtmlLayout::chkDensityClick);
    }
    connect(ui->cmbLanguage, &QComboBox::activated, this, &TfrmHtmlLayout::cmbLanguageChange);
    connect(ui->btnOk, &QPushButton::clicked, this, &TfrmHtmlLayout::btnOkClick);
    connect(ui->btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->btnCreateHtml, &QPushButton::clicked, this, &TfrmHtmlLayout::btnCreateHtmlClick);
    connect(ui->btnHelp, &QPushButton::clicked, this, [this] { emit HelpRequested(HelpContext); });
    if (THelpManager* help = m_environment.Help)
        connect(this, &TfrmHtmlLayout::HelpRequested, this,
                [this, help](int context) { help->ShowHelpContext(context, this); });

    SetProject();
}

TfrmHtmlLayout::~TfrmHtmlLayout() {
    // The page must go before its profile.
    delete m_page;
    if (!m_projectUsesDirectories)
        return;
    // Rebuilt as if read from a project file, so that no layout of the project points into the
    // template folders read here.
    pugi::xml_document document;
    const pugi::xml_node node = document.append_child("layouts");
    TKelLayoutList detached;
    if (m_project.Layouts().SaveToXml(node) && detached.LoadFromXml(node))
        m_project.Layouts().Swap(detached);
    else
        m_project.Layouts().Clear();
}

void TfrmHtmlLayout::SetProject() {
    m_pictures.Assign(m_project.Pictures(), false, true);
}

void TfrmHtmlLayout::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        Guarded([this] { FormShow(); });
        if (!m_sizeRemembered)
            FitFirstSize();
    }
}

void TfrmHtmlLayout::done(int result) {
    TRememberedPlaces().SaveForm(FormName, *this);
    QDialog::done(result);
}

// At its first start the dialog grows, as far as the screen allows, until the settings pane
// shows whole without scrolling.
void TfrmHtmlLayout::FitFirstSize() {
    const QScrollArea* area = ui->scrlLayoutControls;
    int missing = area->widget()->sizeHint().height() - area->viewport()->height();
    if (const QScreen* shown = screen())
        missing = std::min(missing, shown->availableGeometry().height() - frameGeometry().height());
    if (missing > 0)
        resize(width(), height() + missing);
}

void TfrmHtmlLayout::FormShow() {
    m_directories.Load(m_environment.Settings.LayoutsDirectory());
    m_layouts.LoadFromDirectories(m_directories);
    m_layouts.AssignSettings(m_project.Layouts());

    for (QComboBox* counts : {ui->cmbColCount, ui->cmbRowCount}) {
        counts->clear();
        counts->addItem(m_environment.Language.GetText(2189, "Unlimited"));
        for (int i = 1; i <= MaxCount; ++i)
            counts->addItem(QString::number(i));
        counts->setCurrentIndex(-1);
    }
    ui->cmbPictureSize->clear();
    for (const TSizePreset& preset : SizePresets)
        ui->cmbPictureSize->addItem(m_environment.Language.GetText(preset.TextId));
    if (!m_sizeRemembered) // else the splitters stay where the user left them
        FitLayoutControls();
    LoadControls(nullptr, nullptr);
    FillTestPictures();
    FillTree();
}

// Widens the settings pane, at the preview's cost, until its longest translated choice shows whole.
// The combo boxes size to their contents (set in the form), as their texts are filled in only now.
void TfrmHtmlLayout::FitLayoutControls() {
    int missing = 0;
    for (const QComboBox* combo : {ui->cmbColCount, ui->cmbRowCount, ui->cmbPictureSize})
        missing = std::max(missing, combo->sizeHint().width() - combo->width());
    QList<int> sizes = ui->splLayout->sizes();
    const int grow = std::min(missing, sizes[2] - ui->pnlPreview->minimumSizeHint().width());
    if (grow <= 0)
        return;
    sizes[1] += grow;
    sizes[2] -= grow;
    ui->splLayout->setSizes(sizes);
}

void TfrmHtmlLayout::FillTestPictures() {
    ui->cmbPictureSelection->clear();
    for (TKelPicture* picture : m_pictures) {
        if (!picture->Thumbnail())
            continue;
        ui->cmbPictureSelection->addItem(QIcon(ThumbnailPixmap(*picture->Thumbnail())), QString(),
                                         QVariant::fromValue(reinterpret_cast<quintptr>(picture)));
    }
    ui->cmbPictureSelection->setCurrentIndex(ui->cmbPictureSelection->count() > 0 ? 0 : -1);
}

void TfrmHtmlLayout::FillLanguages() {
    ui->cmbLanguage->clear();
    if (m_layout && m_layout->Directory()) {
        std::vector<std::string> codes = m_layout->Directory()->Words.Languages();
        for (const std::string& code :
             {std::string(TKelLayoutList::DefaultLanguage), m_layouts.Language()})
            if (std::find(codes.begin(), codes.end(), code) == codes.end())
                codes.push_back(code);
        for (const std::string& code : codes) {
            const QString name = QString::fromStdString(code);
            ui->cmbLanguage->addItem(
                QLocale::languageToString(QLocale(name).language()) + " (" + name + ")", name);
        }
        ui->cmbLanguage->setCurrentIndex(
            ui->cmbLanguage->findData(QString::fromStdString(m_layouts.Language())));
    }
    SetControlState(ui->cmbLanguage, m_layout != nullptr, true);
}

void TfrmHtmlLayout::FillTree() {
    const QIcon layoutIcon =
        TreeIcon(QIcon::fromTheme("folder", style()->standardIcon(QStyle::SP_DirClosedIcon)),
                 QIcon::fromTheme("folder-open", style()->standardIcon(QStyle::SP_DirOpenIcon)));
    const QIcon layerIcon = TreeIcon(KelvoIcon(HtmlLayoutIcon), KelvoIcon(HtmlLayoutIcon));
    ui->tvwLayouts->clear();
    QTreeWidgetItem* active = nullptr;
    const TKelLayout* activeLayout = m_layouts.GetActiveLayout();
    for (TKelLayout* layout : m_layouts) {
        auto* node = new QTreeWidgetItem(ui->tvwLayouts, {QString::fromStdString(layout->Name())});
        node->setIcon(0, layoutIcon);
        node->setData(0, LayoutRole, QVariant::fromValue(reinterpret_cast<quintptr>(layout)));
        for (TKelLayer* layer : layout->Layers()) {
            if (!layer->PageFile() || !layer->PageFile()->AllTags.ContainsContentTag())
                continue;
            auto* child = new QTreeWidgetItem(node, {QString::fromStdString(layer->Name())});
            child->setIcon(0, layerIcon);
            child->setData(0, LayoutRole, QVariant::fromValue(reinterpret_cast<quintptr>(layout)));
            child->setData(0, LayerRole, QVariant::fromValue(reinterpret_cast<quintptr>(layer)));
        }
        if (layout == activeLayout)
            active = node;
    }
    if (active) {
        ui->tvwLayouts->setCurrentItem(active);
        active->setExpanded(true);
    }
}

std::array<std::pair<int, QCheckBox*>, 3> TfrmHtmlLayout::DensityBoxes() const {
    return {{{2, ui->chkDensity2}, {3, ui->chkDensity3}, {4, ui->chkDensity4}}};
}

TKelPicture* TfrmHtmlLayout::TestPicture() const {
    const int index = ui->cmbPictureSelection->currentIndex();
    if (index < 0)
        return nullptr;
    return reinterpret_cast<TKelPicture*>(
        ui->cmbPictureSelection->itemData(index, PictureRole).value<quintptr>());
}

void TfrmHtmlLayout::ShowTemplateCheck(const QTreeWidgetItem* node) {
    const auto* layout =
        node ? reinterpret_cast<const TKelLayout*>(node->data(0, LayoutRole).value<quintptr>())
             : nullptr;
    if (m_templateChecked && layout == m_checkedLayout)
        return;
    m_templateChecked = true;
    m_checkedLayout = layout;
    TTamLanguage& language = m_environment.Language;
    const TKelPageDirectory* directory = layout ? layout->Directory() : nullptr;
    std::vector<TKelTemplateFinding> findings;
    QString summary;
    try {
        if (directory)
            findings = TKelTemplateCheck::Check(*directory);
        summary = findings.empty() ? language.GetText(2320, "Template check: no problems found.")
                  : findings.size() == 1
                      ? language.GetText(2321, "Template check: 1 problem found:")
                      : language.GetTextFmt(2322, "Template check: %d problems found:",
                                            {static_cast<int>(findings.size())});
    } catch (const std::exception& e) {
        summary = QString::fromStdString(e.what());
    }
    QTableWidget* grid = ui->grdTemplateCheck;
    grid->setRowCount(static_cast<int>(findings.size()));
    for (int row = 0; row < grid->rowCount(); ++row) {
        const TKelTemplateFinding& finding = findings[static_cast<std::size_t>(row)];
        const QString message = FindingMessage(language, finding);
        const QString cells[] = {QString::fromStdString(finding.File),
                                 QString::number(finding.Line), QString::number(finding.Column),
                                 message};
        for (int column = 0; column < 4; ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            if (column == 1 || column == 2)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignTop);
            else
                item->setTextAlignment(Qt::AlignLeft | Qt::AlignTop);
            grid->setItem(row, column, item);
        }
    }
    for (int column = 0; column < 3; ++column)
        grid->resizeColumnToContents(column);
    grid->resizeRowsToContents();
    ui->lblTemplateCheck->setText(summary);
    ui->lblTemplateCheck->setVisible(directory != nullptr);
    grid->setVisible(!findings.empty());
}

void TfrmHtmlLayout::tvwLayoutsChange(QTreeWidgetItem* node) {
    Guarded([&] {
        const TWaitCursor wait;
        ApplyControls();
        QUrl page = BlankPage;
        if (node && !node->parent()) {
            auto* layout =
                reinterpret_cast<TKelLayout*>(node->data(0, LayoutRole).value<quintptr>());
            const bool copy = layout != m_layout;
            m_layout = layout;
            m_layer = nullptr;
            LoadControls(nullptr, nullptr);
            FillLanguages();
            page = GenerateLayoutPreview(m_layout, copy);
            GenerateLayoutPictures(m_layout, copy);
        } else if (node) {
            auto* layout =
                reinterpret_cast<TKelLayout*>(node->data(0, LayoutRole).value<quintptr>());
            const bool copy = layout != m_layout;
            m_layout = layout;
            m_layer = reinterpret_cast<TKelLayer*>(node->data(0, LayerRole).value<quintptr>());
            LoadControls(m_layout, m_layer);
            FillLanguages();
            page = GenerateLayerPreview(m_layout, m_layer, copy);
            GenerateLayerPictures(m_layout, m_layer, copy);
        } else {
            m_layout = nullptr;
            m_layer = nullptr;
            LoadControls(nullptr, nullptr);
            FillLanguages();
        }
        Navigate(page);
    });
}

void TfrmHtmlLayout::LoadControls(const TKelLayout* layout, const TKelLayer* layer) {
    const QSignalBlocker blockQuality(ui->trkbPictureQuality);
    const TKelPageFile* pageFile = layout && layer ? layer->PageFile() : nullptr;
    if (!pageFile) {
        ui->memTitle->clear();
        ui->memText->clear();
        ui->cmbColCount->setCurrentIndex(-1);
        ui->cmbRowCount->setCurrentIndex(-1);
        ui->edtPictureWidth->setText("0");
        ui->edtPictureHeight->setText("0");
        ui->edtPictureQuality->setText("100");
        ui->trkbPictureQuality->setValue(100);
        for (const auto& entry : DensityBoxes())
            entry.second->setChecked(false);
        for (QWidget* control :
             {static_cast<QWidget*>(ui->memTitle), static_cast<QWidget*>(ui->memText),
              static_cast<QWidget*>(ui->cmbColCount), static_cast<QWidget*>(ui->cmbRowCount),
              static_cast<QWidget*>(ui->edtPictureWidth),
              static_cast<QWidget*>(ui->edtPictureHeight),
              static_cast<QWidget*>(ui->edtPictureQuality), static_cast<QWidget*>(ui->chkDensity2),
              static_cast<QWidget*>(ui->cmbPictureSelection)})
            SetControlState(control, false, true);
        return;
    }
    const TKelTagRefs& tags = pageFile->AllTags;
    const auto has = [&tags](const char* name) { return tags.FindTag(name) != nullptr; };
    const bool picturePage = pageFile->IsPicturePage();
    const bool pictures = has("kel_picture_filename");

    ui->memTitle->setPlainText(QString::fromStdString(layer->PageTitle()));
    SetControlState(ui->memTitle, has("kel_page_title"), true);
    ui->memText->setPlainText(QString::fromStdString(layer->PageText()));
    SetControlState(ui->memText, has("kel_page_text"), true);
    ui->cmbColCount->setCurrentIndex(std::clamp(layer->ColCount(), 0, MaxCount));
    SetControlState(ui->cmbColCount, picturePage, true);
    ui->cmbRowCount->setCurrentIndex(std::clamp(layer->RowCount(), 0, MaxCount));
    SetControlState(ui->cmbRowCount,
                    picturePage && (has("kel_page_previous") || has("kel_page_next")), true);
    ui->edtPictureWidth->setText(QString::number(layer->PictureWidth()));
    ui->edtPictureHeight->setText(QString::number(layer->PictureHeight()));
    ui->cmbPictureSize->setCurrentIndex(CustomSizeItem);
    SetControlState(ui->edtPictureWidth, pictures, true);
    SetControlState(ui->edtPictureHeight, pictures, true);
    ui->edtPictureQuality->setText(QString::number(layer->PictureQuality()));
    ui->trkbPictureQuality->setValue(layer->PictureQuality());
    SetControlState(ui->edtPictureQuality, pictures, true);
    const std::vector<int>& densities = layer->Densities();
    for (const auto& [density, box] : DensityBoxes())
        box->setChecked(std::find(densities.begin(), densities.end(), density) != densities.end());
    SetControlState(ui->chkDensity2, pictures, true);
    SetControlState(ui->cmbPictureSelection, true, true);
}

void TfrmHtmlLayout::SetControlState(QWidget* control, bool enabled, bool valid) {
    ::SetControlState(control, enabled, valid);
    // Labels and companions follow the inputs they describe; a label shared by two inputs
    // stays readable while either of them is.
    const auto follow = [](QWidget* companion, std::initializer_list<QWidget*> owners) {
        companion->setEnabled(
            std::any_of(owners.begin(), owners.end(), [](QWidget* w) { return w->isEnabled(); }));
    };
    if (control == ui->memTitle) {
        follow(ui->lblTitle, {ui->memTitle});
    } else if (control == ui->memText) {
        follow(ui->lblText, {ui->memText});
    } else if (control == ui->cmbColCount || control == ui->cmbRowCount) {
        follow(ui->lblColCount, {ui->cmbColCount});
        follow(ui->lblRowCount, {ui->cmbRowCount});
        follow(ui->lblArrangement, {ui->cmbColCount, ui->cmbRowCount});
    } else if (control == ui->edtPictureWidth || control == ui->edtPictureHeight) {
        follow(ui->cmbPictureSize, {ui->edtPictureWidth});
        for (QWidget* label : {ui->lblFittingFrame, ui->lblPictureSize, ui->lblWidthHeight})
            follow(label, {ui->edtPictureWidth, ui->edtPictureHeight});
    } else if (control == ui->edtPictureQuality) {
        follow(ui->trkbPictureQuality, {ui->edtPictureQuality});
        follow(ui->lblQuality, {ui->edtPictureQuality});
    } else if (control == ui->cmbPictureSelection) {
        follow(ui->lblPictureSelection, {ui->cmbPictureSelection});
    } else if (control == ui->chkDensity2) {
        for (QWidget* companion :
             {static_cast<QWidget*>(ui->chkDensity3), static_cast<QWidget*>(ui->chkDensity4),
              static_cast<QWidget*>(ui->lblDensities)})
            follow(companion, {ui->chkDensity2});
    } else if (control == ui->cmbLanguage) {
        follow(ui->lblLanguage, {ui->cmbLanguage});
    }
}

bool TfrmHtmlLayout::ValidateControl(QWidget* control) {
    bool valid = true;
    const auto inRange = [](const QLineEdit* edit, int low, int high) {
        bool ok = false;
        const int value = edit->text().toInt(&ok);
        return ok && value >= low && value <= high;
    };
    if (control == ui->edtPictureWidth || control == ui->edtPictureHeight)
        valid = inRange(static_cast<QLineEdit*>(control), 0, MaxPictureSide);
    else if (control == ui->edtPictureQuality)
        valid = inRange(ui->edtPictureQuality, 1, 100);
    SetControlState(control, control->isEnabled(), valid);
    return valid;
}

std::pair<bool, bool> TfrmHtmlLayout::ApplyControls() {
    bool valid = true;
    bool changed = false;
    if (!m_layout || !m_layer)
        return {valid, changed};
    TKelLayer& layer = *m_layer;
    // Stores value through setter when control is enabled and valid and the value differs.
    const auto apply = [&](QWidget* control, auto value, auto current, auto setter) {
        const bool controlValid = ValidateControl(control);
        valid = valid && controlValid;
        if (control->isEnabled() && controlValid && value != current) {
            (layer.*setter)(value);
            changed = true;
        }
    };
    // A memo hands back line breaks as "\n"; texts from files may hold "\r\n", which is no
    // change of the user's.
    const auto memoText = [](const QPlainTextEdit* memo, const std::string& current) {
        const QString text = memo->toPlainText();
        return QString::fromStdString(current).replace("\r\n", "\n") == text ? current
                                                                             : text.toStdString();
    };
    apply(ui->memTitle, memoText(ui->memTitle, layer.PageTitle()), layer.PageTitle(),
          &TKelLayer::SetPageTitle);
    apply(ui->memText, memoText(ui->memText, layer.PageText()), layer.PageText(),
          &TKelLayer::SetPageText);
    apply(ui->cmbColCount, ui->cmbColCount->currentIndex(), layer.ColCount(),
          &TKelLayer::SetColCount);
    apply(ui->cmbRowCount, ui->cmbRowCount->currentIndex(), layer.RowCount(),
          &TKelLayer::SetRowCount);
    apply(ui->edtPictureWidth, ui->edtPictureWidth->text().toInt(), layer.PictureWidth(),
          &TKelLayer::SetPictureWidth);
    apply(ui->edtPictureHeight, ui->edtPictureHeight->text().toInt(), layer.PictureHeight(),
          &TKelLayer::SetPictureHeight);
    apply(ui->edtPictureQuality, ui->edtPictureQuality->text().toInt(), layer.PictureQuality(),
          &TKelLayer::SetPictureQuality);
    std::vector<int> densities{1};
    for (const auto& [density, box] : DensityBoxes())
        if (box->isChecked())
            densities.push_back(density);
    apply(ui->chkDensity2, densities, layer.Densities(), &TKelLayer::SetDensities);
    return {valid, changed};
}

QUrl TfrmHtmlLayout::GenerateLayerPreview(const TKelLayout* layout, const TKelLayer* layer,
                                          bool copyFiles) {
    if (!layout || !layer)
        return BlankPage;
    const std::string& tempDir = m_environment.Settings.TempDirectory();
    TKelPageGenerator generator;
    if (copyFiles) {
        generator.CreateDirectories(*layout, tempDir);
        generator.CopyFiles(*layout, tempDir);
    }
    const std::string page = generator.GeneratePreview(
        *layout, layer, m_pictures.IndexOf(TestPicture()), m_pictures, tempDir);
    return page.empty() ? BlankPage : QUrl::fromLocalFile(QString::fromStdString(page));
}

QUrl TfrmHtmlLayout::GenerateLayoutPreview(const TKelLayout* layout, bool copyFiles) {
    if (!layout)
        return BlankPage;
    const std::string& tempDir = m_environment.Settings.TempDirectory();
    TKelPageGenerator generator;
    const std::string startPage = generator.GetStartPage(*layout, tempDir);
    if (startPage.empty())
        return BlankPage;
    if (copyFiles) {
        generator.CreateDirectories(*layout, tempDir);
        generator.CopyFiles(*layout, tempDir);
    }
    // Every layer's page, so that the start page's links lead somewhere.
    generator.GeneratePreview(*layout, nullptr, m_pictures.IndexOf(TestPicture()), m_pictures,
                              tempDir);
    return QUrl::fromLocalFile(QString::fromStdString(startPage));
}

void TfrmHtmlLayout::GenerateLayerPictures(const TKelLayout* layout, const TKelLayer* layer,
                                           bool placeholders) {
    if (!layout || !layer)
        return;
    const std::string& tempDir = m_environment.Settings.TempDirectory();
    TKelPictureRefs testPictures;
    TKelPicture* picture = TestPicture();
    if (picture)
        testPictures.Add(picture);
    TKelPictureGenerator generator;
    generator.Generate(*layout, layer, testPictures, tempDir);

    // Every density written counts: it is all put on the server.
    qlonglong bytes = 0;
    int files = 0;
    if (picture) {
        const TKelPageGenerator names;
        for (const TKelPictureFrame& frame : WrittenFrames(*layer, *picture)) {
            const QFileInfo file(QString::fromStdString(TKelPageGenerator::MakeUrl(
                names.GetPictureFileName(*layout, *layer, picture, tempDir, frame.Density),
                false)));
            if (file.isFile()) {
                bytes += file.size();
                ++files;
            }
        }
    }
    if (files == 1)
        ui->pnlStatistic->setText(
            m_environment.Language.GetTextFmt(2190, "Size of picture: %.0n Bytes", {bytes}));
    else if (files > 1)
        ui->pnlStatistic->setText(m_environment.Language.GetTextFmt(
            2302, "Picture sizes, all densities: %.0n bytes", {bytes}));
    else
        ui->pnlStatistic->clear();
    if (placeholders)
        GeneratePlaceholders(*layout);
}

void TfrmHtmlLayout::GenerateLayoutPictures(const TKelLayout* layout, bool placeholders) {
    ui->pnlStatistic->clear();
    if (!layout)
        return;
    TKelPictureRefs testPictures;
    if (TKelPicture* picture = TestPicture())
        testPictures.Add(picture);
    TKelPictureGenerator generator;
    generator.Generate(*layout, nullptr, testPictures, m_environment.Settings.TempDirectory());
    if (placeholders)
        GeneratePlaceholders(*layout);
}

void TfrmHtmlLayout::GeneratePlaceholders(const TKelLayout& layout) {
    TKelPictureGenerator generator;
    const std::uint32_t face = PackedColor(palette().color(QPalette::Button));
    const std::uint32_t shadow = PackedColor(palette().color(QPalette::Dark));
    for (const TKelLayer* layer : layout.Layers()) {
        // A page of one picture shows the test picture and never a placeholder.
        if (m_pictures.Count() > 0 && layer->ColCount() == 1 && layer->RowCount() == 1)
            continue;
        generator.GeneratePlaceholder(layout, *layer, m_environment.Settings.TempDirectory(), face,
                                      shadow);
    }
}

void TfrmHtmlLayout::Navigate(const QUrl& url) {
    m_page->Navigate(url);
}

void TfrmHtmlLayout::Refresh(bool picturesChanged) {
    m_page->Refresh(picturesChanged);
}

bool TfrmHtmlLayout::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        if (watched == ui->memTitle || watched == ui->memText)
            memTitleTextExit();
        else if (watched == ui->edtPictureWidth || watched == ui->edtPictureHeight)
            edtPictureWidthHeightExit();
        else if (watched == ui->trkbPictureQuality)
            trkbPictureQualityExit();
        else if (watched == ui->edtPictureQuality)
            edtPictureQualityExit();
    } else if (event->type() == QEvent::Wheel && watched == ui->scrlLayoutControls->viewport()) {
        // WheelStep per notch of 120; finer wheels and touchpads scroll in proportion.
        const int delta = static_cast<QWheelEvent*>(event)->angleDelta().y();
        QScrollBar* bar = ui->scrlLayoutControls->verticalScrollBar();
        bar->setValue(bar->value() - delta * WheelStep / 120);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmHtmlLayout::memTitleTextExit() {
    Guarded([this] {
        const TWaitCursor wait;
        if (!ApplyControls().second)
            return;
        GenerateLayerPreview(m_layout, m_layer, false);
        Refresh(false);
    });
}

void TfrmHtmlLayout::cmbColRowCountChange() {
    Guarded([this] {
        const TWaitCursor wait;
        if (!ApplyControls().second)
            return;
        Navigate(GenerateLayerPreview(m_layout, m_layer, false));
    });
}

void TfrmHtmlLayout::cmbPictureSizeChange(int index) {
    Guarded([this, index] {
        const TWaitCursor wait;
        if (index >= 0 && index < CustomSizeItem) {
            ui->edtPictureWidth->setText(QString::number(SizePresets[index].Width));
            ui->edtPictureHeight->setText(QString::number(SizePresets[index].Height));
        }
        if (!ApplyControls().second)
            return;
        GenerateLayerPictures(m_layout, m_layer, true);
        Refresh(true);
    });
}

void TfrmHtmlLayout::edtPictureWidthHeightExit() {
    Guarded([this] {
        const TWaitCursor wait;
        if (!ApplyControls().second)
            return;
        ui->cmbPictureSize->setCurrentIndex(CustomSizeItem);
        GenerateLayerPictures(m_layout, m_layer, true);
        Refresh(true);
    });
}

void TfrmHtmlLayout::trkbPictureQualityChange(int position) {
    ui->edtPictureQuality->setText(QString::number(position));
}

void TfrmHtmlLayout::trkbPictureQualityExit() {
    Guarded([this] {
        if (!ApplyControls().second)
            return;
        GenerateLayerPictures(m_layout, m_layer, false);
        Refresh(true);
    });
}

void TfrmHtmlLayout::edtPictureQualityExit() {
    Guarded([this] {
        const TWaitCursor wait;
        bool ok = false;
        const int quality = ui->edtPictureQuality->text().toInt(&ok);
        if (ok) {
            const QSignalBlocker block(ui->trkbPictureQuality);
            ui->trkbPictureQuality->setValue(quality);
        }
        if (!ApplyControls().second)
            return;
        GenerateLayerPictures(m_layout, m_layer, false);
        Refresh(true);
    });
}

void TfrmHtmlLayout::chkDensityClick() {
    Guarded([this] {
        const TWaitCursor wait;
        if (!ApplyControls().second)
            return;
        // The page's srcset lists the densities, so it changes with the pictures.
        GenerateLayerPreview(m_layout, m_layer, false);
        GenerateLayerPictures(m_layout, m_layer, false);
        Refresh(true);
    });
}

void TfrmHtmlLayout::cmbLanguageChange() {
    Guarded([this] {
        const TWaitCursor wait;
        m_layouts.SetLanguage(ui->cmbLanguage->currentData().toString().toStdString());
        if (m_layer)
            GenerateLayerPreview(m_layout, m_layer, false);
        else
            GenerateLayoutPreview(m_layout, false);
        Refresh(false);
    });
}

void TfrmHtmlLayout::cmbPictureSelectionChange() {
    Guarded([this] {
        const TWaitCursor wait;
        if (!m_layer)
            return;
        GenerateLayerPreview(m_layout, m_layer, false);
        GenerateLayerPictures(m_layout, m_layer, false);
        Refresh(true);
    });
}

bool TfrmHtmlLayout::ApplyToProject() {
    if (!ApplyControls().first)
        return false;
    if (m_layout)
        m_layouts.SetActiveLayout(m_layout->Name());
    TKelLayoutList& layouts = m_project.Layouts();
    layouts.Clear();
    layouts.LoadFromDirectories(m_directories);
    layouts.AssignSettings(m_layouts);
    m_projectUsesDirectories = true;
    // Handed over once, so that a second OK or gallery run does not count the edits again.
    m_project.History().Append(m_layouts.History());
    m_layouts.History().Clear();
    return true;
}

void TfrmHtmlLayout::btnOkClick() {
    Guarded([this] {
        if (ApplyToProject())
            accept();
    });
}

void TfrmHtmlLayout::btnCreateHtmlClick() {
    Guarded([this] {
        ApplyToProject();
        m_project.Pictures().UncheckMissing();
        TFrmHtmlOutput output(m_project, m_environment, this);
        output.exec();
    });
}

template <typename F>
void TfrmHtmlLayout::Guarded(F&& reaction) {
    try {
        reaction();
    } catch (const std::exception& e) {
        m_environment.Prompts.Message(this, QMessageBox::Critical,
                                      m_environment.Language.GetText(2080, QString()),
                                      QString::fromStdString(e.what()));
    }
}
