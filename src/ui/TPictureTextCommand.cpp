// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/TPictureTextCommand.h"

#include <utility>

#include "model/TKelPicture.h"

TPictureTextCommand::TPictureTextCommand(TKelPicture& picture, TField field, std::string value,
                                         int session, const QString& text)
    : QUndoCommand(text)
    , m_picture(picture)
    , m_field(field)
    , m_old(field == TField::Title ? picture.Title() : picture.Comment())
    , m_new(std::move(value))
    , m_session(session) {}

void TPictureTextCommand::undo() {
    Set(m_old);
}

void TPictureTextCommand::redo() {
    Set(m_new);
}

bool TPictureTextCommand::mergeWith(const QUndoCommand* other) {
    const auto* next = static_cast<const TPictureTextCommand*>(other);
    if (m_session < 0 || next->m_session != m_session || &next->m_picture != &m_picture ||
        next->m_field != m_field)
        return false;
    m_new = next->m_new;
    // Typed back to where it started: no step left to undo.
    setObsolete(m_new == m_old);
    return true;
}

void TPictureTextCommand::Set(const std::string& value) {
    if (m_field == TField::Title)
        m_picture.SetTitle(value);
    else
        m_picture.SetComment(value);
}
