// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/TWidgetPrompts.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QImage>
#include <QLabel>
#include <QRegularExpression>

#include <algorithm>
#include <memory>

#include "imaging/BM_Geometry.h"
#include "imaging/BM_Resample.h"
#include "imaging/LoadPicture.h"
#include "imaging/PictureFormat.h"
#include "imaging/TBM_Bitmap.h"
#include "imaging/TPictureReader.h"

namespace {

// The first extension a filter names ("Kelvo (*.kel)" gives "kel"), or empty.
QString FirstSuffix(const QString& filter) {
    const QRegularExpression pattern(QStringLiteral(R"(\*\.(\w+))"));
    return pattern.match(filter).captured(1);
}

bool ShowsPictures(const QString& filter) {
    const QString suffix = FirstSuffix(filter).toLower();
    return suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg") ||
           suffix == QLatin1String("bmp");
}

// The picture in fileName, upright and in sRGB, fitted into side x side; null when Kelvo
// cannot read it. A JPEG is decoded at the smallest scale that still fills the preview.
QImage PreviewImage(const QString& fileName, int side) {
    try {
        const std::unique_ptr<TPictureReader> reader =
            OpenPicture(QFile::encodeName(fileName).toStdString());
        reader->ReduceTo(side, side);
        TBM_Bitmap picture;
        LoadUpright(*reader, picture);
        const TRect fitted =
            FitRect(TRect{0, 0, side, side}, TRect{0, 0, picture.Width(), picture.Height()});
        Resample(picture, picture, std::max(1, fitted.Right), std::max(1, fitted.Bottom));
        return QImage(picture.ScanLine(0), picture.Width(), picture.Height(),
                      static_cast<qsizetype>(picture.RowBytes()), QImage::Format_RGBX8888)
            .copy();
    } catch (const std::exception&) {
        return {};
    }
}

// A preview of the selected picture beside the file list of Qt's own file dialog, made by
// Kelvo's own readers, so that it shows every format a gallery takes as the gallery will.
void AddPicturePreview(QFileDialog& dialog) {
    auto* layout = qobject_cast<QGridLayout*>(dialog.layout());
    if (layout == nullptr)
        return;
    auto* preview = new QLabel(&dialog);
    constexpr int side = 200;
    preview->setFixedSize(side, side);
    preview->setAlignment(Qt::AlignCenter);
    preview->setFrameShape(QFrame::StyledPanel);
    layout->addWidget(preview, 1, layout->columnCount(), layout->rowCount() - 1, 1);
    QObject::connect(
        &dialog, &QFileDialog::currentChanged, preview, [preview](const QString& path) {
            const QImage image = QFileInfo(path).isFile() ? PreviewImage(path, side - 8) : QImage();
            preview->setPixmap(QPixmap::fromImage(image));
        });
}

} // namespace

QMessageBox::StandardButton TWidgetPrompts::Message(QWidget* parent, QMessageBox::Icon icon,
                                                    const QString& caption, const QString& text,
                                                    QMessageBox::StandardButtons buttons,
                                                    QMessageBox::StandardButton defaultButton) {
    QMessageBox box(icon, caption, text, buttons, parent);
    box.setDefaultButton(defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QStringList TWidgetPrompts::GetOpenFileNames(QWidget* parent, const QString& caption,
                                             const QString& directory, const QString& filter) {
    if (!ShowsPictures(filter))
        return QFileDialog::getOpenFileNames(parent, caption, directory, filter);
    // Qt's own dialog, because only it takes a preview beside its list.
    QFileDialog dialog(parent, caption, directory, filter);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    AddPicturePreview(dialog);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles() : QStringList();
}

QString TWidgetPrompts::GetOpenFileName(QWidget* parent, const QString& caption,
                                        const QString& directory, const QString& filter) {
    return QFileDialog::getOpenFileName(parent, caption, directory, filter);
}

QString TWidgetPrompts::GetSaveFileName(QWidget* parent, const QString& caption,
                                        const QString& fileName, const QString& filter) {
    // An instance, not the static function: only it adds the filter's extension to a name
    // typed without one before it asks whether to overwrite.
    QFileDialog dialog(parent, caption, fileName, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(FirstSuffix(filter));
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

QString TWidgetPrompts::GetExistingDirectory(QWidget* parent, const QString& caption,
                                             const QString& directory) {
    return QFileDialog::getExistingDirectory(parent, caption, directory, QFileDialog::ShowDirsOnly);
}
