// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QUndoCommand>

#include <memory>
#include <vector>

class TKelPicture;
class TKelPictureList;

/// Pictures added to or removed from the project's list, as one undo step. Pictures that are
/// out of the list (removed, or an add undone) are owned here, thumbnails and all, until they
/// go back or the command is dropped. Owned by the main window's undo stack, which is cleared
/// before the list goes.
class TAddRemovePicturesCommand : public QUndoCommand {
public:
    enum class TKind { Add, Remove };

    /// An Add takes pictures that were appended already: its first redo does nothing.
    TAddRemovePicturesCommand(TKelPictureList& list, std::vector<TKelPicture*> pictures, TKind kind,
                              const QString& text);
    ~TAddRemovePicturesCommand() override;

    void undo() override;
    void redo() override;

private:
    void TakeOut();
    void PutBack();

    TKelPictureList& m_list;
    std::vector<TKelPicture*> m_pictures;
    std::vector<int> m_indexes; // where the pictures stood, ascending
    std::vector<std::unique_ptr<TKelPicture>> m_out;
    TKind m_kind;
    bool m_firstRedo = true;
};
