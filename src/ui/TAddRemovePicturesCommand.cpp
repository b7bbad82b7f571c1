// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/TAddRemovePicturesCommand.h"

#include <algorithm>
#include <utility>

#include "model/TKelPictureList.h"

TAddRemovePicturesCommand::TAddRemovePicturesCommand(TKelPictureList& list,
                                                     std::vector<TKelPicture*> pictures, TKind kind,
                                                     const QString& text)
    : QUndoCommand(text)
    , m_list(list)
    , m_pictures(std::move(pictures))
    , m_kind(kind) {}

TAddRemovePicturesCommand::~TAddRemovePicturesCommand() = default;

void TAddRemovePicturesCommand::undo() {
    if (m_kind == TKind::Add)
        TakeOut();
    else
        PutBack();
}

void TAddRemovePicturesCommand::redo() {
    const bool first = std::exchange(m_firstRedo, false);
    if (m_kind == TKind::Remove)
        TakeOut();
    else if (!first)
        PutBack();
}

void TAddRemovePicturesCommand::TakeOut() {
    std::sort(m_pictures.begin(), m_pictures.end(),
              [this](const TKelPicture* a, const TKelPicture* b) {
                  return m_list.IndexOf(a) < m_list.IndexOf(b);
              });
    m_indexes.clear();
    for (const TKelPicture* picture : m_pictures)
        m_indexes.push_back(m_list.IndexOf(picture));
    m_out.resize(m_pictures.size());
    // From the last one, so that the indexes of those still to come stay put.
    for (std::size_t i = m_pictures.size(); i-- > 0;)
        m_out[i] = m_list.TakePicture(m_pictures[i]);
}

void TAddRemovePicturesCommand::PutBack() {
    // Ascending, each into the place it had: those before it are back already.
    for (std::size_t i = 0; i < m_out.size(); ++i)
        m_list.InsertPicture(m_indexes[i], std::move(m_out[i]));
    m_out.clear();
}
