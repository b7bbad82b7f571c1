// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/TLayoutSettingsCommand.h"

#include <utility>

#include "model/TKelProject.h"

TLayoutSettingsCommand::TLayoutSettingsCommand(TKelProject& project, std::string before,
                                               std::string after, const QString& text)
    : QUndoCommand(text)
    , m_project(project)
    , m_before(std::move(before))
    , m_after(std::move(after)) {}

void TLayoutSettingsCommand::undo() {
    m_project.SetLayoutSettings(m_before);
}

void TLayoutSettingsCommand::redo() {
    if (!std::exchange(m_firstRedo, false))
        m_project.SetLayoutSettings(m_after);
}
