// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/TOrderPicturesCommand.h"

#include "model/TKelPictureRefs.h"

TOrderPicturesCommand::TOrderPicturesCommand(TKelPictureRefs& list, TOrder order,
                                             const QString& text)
    : QUndoCommand(text)
    , m_list(list)
    , m_order(order) {}

void TOrderPicturesCommand::undo() {
    m_list.SetOrder(m_before);
}

void TOrderPicturesCommand::redo() {
    m_before.assign(m_list.begin(), m_list.end());
    (m_list.*m_order)();
}
