// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QUndoCommand>

#include <string>

class TKelProject;

/// What one visit to the layout dialog changed in the project's layouts and output folders,
/// as one undo step; the dialog made the change already, so the first redo does nothing.
/// Owned by the main window's undo stack, which is cleared before the project goes.
class TLayoutSettingsCommand : public QUndoCommand {
public:
    /// before and after: TKelProject::LayoutSettings from either side of the visit.
    TLayoutSettingsCommand(TKelProject& project, std::string before, std::string after,
                           const QString& text);

    void undo() override;
    void redo() override;

private:
    TKelProject& m_project;
    std::string m_before;
    std::string m_after;
    bool m_firstRedo = true;
};
