// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QString>

#include <memory>

class TTamLanguage;

namespace Ui {
class TfrmInfo;
}

/// The version the build stamps into the program file, as GetFileVersionText reads it back from
/// the file; and the author, homepage and e-mail address a packager sets when building.
/// A part count outside 1 to 4 counts as 4; the first part is plain, the others have at least two
/// digits (2.5.1.7 gives 2.05.01 with 3 parts). Empty when the file carries no version.
QString GetFileVersionText(const QString& fileName, int partCount);
/// The mail link: "mailto:" and the address, then the fields that are not empty, in the order
/// subject, body, cc, bcc, as "?subject=..." and "&body=...". The values are percent-encoded,
/// so that an "&" or "#" in them stays part of the value.
QString MailToLink(const QString& address, const QString& subject = {}, const QString& body = {},
                   const QString& bcc = {}, const QString& cc = {});
/// Opens MailToLink in the user's mail program; a link that cannot be opened is ignored.
void OpenMailTo(const QString& address, const QString& subject = {}, const QString& body = {},
                const QString& bcc = {}, const QString& cc = {});
/// Opens an address (a web page, a file) with the desktop's program for it.
void OpenDocument(const QString& address);

/// The info dialog: the product's name, the program's version, the author, and links to the
/// homepage and the author's e-mail address. The main window makes it on the stack and shows it
/// modally. Lines whose value the build left empty are not shown.
class TfrmInfo : public QDialog {
    Q_OBJECT

public:
    struct TDetails {
        QString Author;
        QString Homepage; // with its scheme ("https://...")
        QString EMail;
    };
    /// The details the build was configured with.
    static TDetails BuiltDetails();

    explicit TfrmInfo(TTamLanguage& language, QWidget* parent = nullptr);
    TfrmInfo(TTamLanguage& language, const TDetails& details, QWidget* parent = nullptr);
    ~TfrmInfo() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void lblHomepageClick();
    void lblEMailClick();

    std::unique_ptr<Ui::TfrmInfo> m_ui;
    TTamLanguage& m_language;
    TDetails m_details;
};
