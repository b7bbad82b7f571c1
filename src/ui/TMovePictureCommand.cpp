// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/TMovePictureCommand.h"

#include "model/TKelPictureRefs.h"

TMovePictureCommand::TMovePictureCommand(TKelPictureRefs& list, int fromIndex, int toIndex,
                                         const QString& text)
    : QUndoCommand(text)
    , m_list(list)
    , m_fromIndex(fromIndex)
    , m_toIndex(toIndex) {}

void TMovePictureCommand::undo() {
    m_list.MovePicture(m_toIndex, m_fromIndex);
}

void TMovePictureCommand::redo() {
    m_list.MovePicture(m_fromIndex, m_toIndex);
}
