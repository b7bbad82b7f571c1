// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSettings>
#include <QStringList>

class QWidget;

/// The places the user left behind, kept from one run to the next in the user's configuration
/// folder (QSettings, organisation and application "Kelvo"): window sizes, splitters and grid
/// columns, the folder of each file dialog and the recent projects. Nothing is stored before
/// a window first closes, so the first start looks as designed. Made where it is used; every
/// instance reads and writes the same store.
class TRememberedPlaces {
public:
    /// How many recent projects are kept.
    static constexpr int RecentCount = 8;

    TRememberedPlaces();

    /// Stores form's geometry (a main window's tool bars and docks too), the state of each
    /// named QSplitter in it and the columns of each named QTableView, under name.
    void SaveForm(const QString& name, const QWidget& form);
    /// Gives form and its splitters and grids what SaveForm stored; what was never stored
    /// stays as designed. Returns whether the geometry came back.
    bool RestoreForm(const QString& name, QWidget& form) const;

    /// The folder a file dialog last chose a file in, or empty.
    QString Folder(const QString& dialog) const;
    void SetFolder(const QString& dialog, const QString& folder);

    /// Newest first, at most RecentCount.
    QStringList RecentProjects() const;
    /// Puts fileName first (as an absolute path), dropping an older entry of it.
    void AddRecentProject(const QString& fileName);
    void RemoveRecentProject(const QString& fileName);

private:
    void SetRecentProjects(const QStringList& files);

    QSettings m_settings;
};
