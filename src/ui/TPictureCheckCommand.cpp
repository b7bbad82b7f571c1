// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/TPictureCheckCommand.h"

#include <utility>

#include "model/TKelPicture.h"

TPictureCheckCommand::TPictureCheckCommand(TKelPicture& picture, const QString& text)
    : QUndoCommand(text)
    , m_picture(picture) {}

void TPictureCheckCommand::undo() {
    Toggle();
}

void TPictureCheckCommand::redo() {
    if (!std::exchange(m_firstRedo, false))
        Toggle();
}

void TPictureCheckCommand::Toggle() {
    m_picture.SetChecked(!m_picture.Checked());
}
