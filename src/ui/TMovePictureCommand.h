// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QUndoCommand>

class TKelPictureRefs;

/// One picture moved to another place of the project's list (Move up or down, a slide
/// dragged), as one undo step. Owned by the main window's undo stack.
class TMovePictureCommand : public QUndoCommand {
public:
    TMovePictureCommand(TKelPictureRefs& list, int fromIndex, int toIndex, const QString& text);

    void undo() override;
    void redo() override;

private:
    TKelPictureRefs& m_list;
    int m_fromIndex;
    int m_toIndex;
};
