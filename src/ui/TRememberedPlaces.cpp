// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/TRememberedPlaces.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QMainWindow>
#include <QSplitter>
#include <QTableView>

namespace {

const QString RecentKey = QStringLiteral("RecentProjects");

QString Key(const QString& form, const QString& part) {
    return form + QLatin1Char('/') + part;
}

} // namespace

TRememberedPlaces::TRememberedPlaces()
    : m_settings(QSettings::UserScope, QStringLiteral("Kelvo"), QStringLiteral("Kelvo")) {}

void TRememberedPlaces::SaveForm(const QString& name, const QWidget& form) {
    m_settings.setValue(Key(name, QStringLiteral("Geometry")), form.saveGeometry());
    if (const auto* window = qobject_cast<const QMainWindow*>(&form))
        m_settings.setValue(Key(name, QStringLiteral("State")), window->saveState());
    for (const QSplitter* splitter : form.findChildren<QSplitter*>())
        if (!splitter->objectName().isEmpty())
            m_settings.setValue(Key(name, splitter->objectName()), splitter->saveState());
    for (const QTableView* grid : form.findChildren<QTableView*>())
        if (!grid->objectName().isEmpty())
            m_settings.setValue(Key(name, grid->objectName()),
                                grid->horizontalHeader()->saveState());
}

bool TRememberedPlaces::RestoreForm(const QString& name, QWidget& form) const {
    if (auto* window = qobject_cast<QMainWindow*>(&form))
        window->restoreState(m_settings.value(Key(name, QStringLiteral("State"))).toByteArray());
    for (QSplitter* splitter : form.findChildren<QSplitter*>())
        if (const QVariant state = m_settings.value(Key(name, splitter->objectName()));
            state.isValid())
            splitter->restoreState(state.toByteArray());
    for (QTableView* grid : form.findChildren<QTableView*>())
        if (const QVariant state = m_settings.value(Key(name, grid->objectName())); state.isValid())
            grid->horizontalHeader()->restoreState(state.toByteArray());
    return form.restoreGeometry(
        m_settings.value(Key(name, QStringLiteral("Geometry"))).toByteArray());
}

QString TRememberedPlaces::Folder(const QString& dialog) const {
    return m_settings.value(Key(QStringLiteral("Folders"), dialog)).toString();
}

void TRememberedPlaces::SetFolder(const QString& dialog, const QString& folder) {
    m_settings.setValue(Key(QStringLiteral("Folders"), dialog), folder);
}

QStringList TRememberedPlaces::RecentProjects() const {
    return m_settings.value(RecentKey).toStringList().mid(0, RecentCount);
}

void TRememberedPlaces::AddRecentProject(const QString& fileName) {
    const QString file = QFileInfo(fileName).absoluteFilePath();
    QStringList files = RecentProjects();
    files.removeAll(file);
    files.prepend(file);
    SetRecentProjects(files);
}

void TRememberedPlaces::RemoveRecentProject(const QString& fileName) {
    QStringList files = RecentProjects();
    files.removeAll(fileName);
    SetRecentProjects(files);
}

void TRememberedPlaces::SetRecentProjects(const QStringList& files) {
    m_settings.setValue(RecentKey, files.mid(0, RecentCount));
}
