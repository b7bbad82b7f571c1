// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include <memory>

class QListWidgetItem;
class QTreeWidgetItem;
class QWebEngineProfile;
class TChmArchive;
class TTamLanguage;

namespace Ui {
class TfrmHelp;
}

/// The help window: the pages of a compiled help file (.chm) in a web view, read straight from
/// the archive through the "kelvo-help" URL scheme, beside its contents tree and its index with
/// a filter field. THtmlHelpHost makes it, moves it under the window that asked for help and
/// tells it what to show.
class TfrmHelp : public QWidget {
    Q_OBJECT

public:
    /// The scheme of help pages; it must be registered before the application object exists.
    static constexpr const char* UrlScheme = "kelvo-help";
    static void RegisterUrlScheme();

    explicit TfrmHelp(TTamLanguage& language, QWidget* parent = nullptr);
    ~TfrmHelp() override;

    /// Opens the help file unless it is open already; false when it cannot be read.
    bool OpenHelpFile(const QString& fileName);
    QString HelpFile() const;

    /// Shows a page of the open file (a name inside the archive, as in the contents); false when
    /// the archive has no such page.
    bool ShowPage(const QString& page);
    /// The contents with the default page, unless a page is shown already.
    void ShowContents();
    /// The index filtered by the keyword, with the page of its first entry.
    void ShowIndex(const QString& keyword);
    /// The page of a help context number; false when the file's context map lacks it.
    bool ShowContext(int context);

    /// The page the view shows or is loading, as a path inside the archive ("/start.htm").
    QString CurrentPage() const;

private:
    void FillContents();
    void FillIndex();
    void SelectContentsEntry(const QString& page);
    void tvwContentsItemActivated(QTreeWidgetItem* item);
    void lstIndexItemActivated(QListWidgetItem* item);
    void edtIndexFilterTextChanged(const QString& text);

    std::unique_ptr<Ui::TfrmHelp> m_ui;
    std::shared_ptr<TChmArchive> m_archive;
    QWebEngineProfile* m_profile;
};
