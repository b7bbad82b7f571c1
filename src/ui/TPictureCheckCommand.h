// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QUndoCommand>

class TKelPicture;

/// A picture's check mark toggled on its slide, as one undo step; the slide toggled it
/// already, so the first redo does nothing. Owned by the main window's undo stack; the
/// picture outlives it.
class TPictureCheckCommand : public QUndoCommand {
public:
    TPictureCheckCommand(TKelPicture& picture, const QString& text);

    void undo() override;
    void redo() override;

private:
    void Toggle();

    TKelPicture& m_picture;
    bool m_firstRedo = true;
};
