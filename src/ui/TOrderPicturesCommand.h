// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QUndoCommand>

#include <vector>

class TKelPicture;
class TKelPictureRefs;

/// One of the four orders applied to the project's list, as one undo step: undo puts back the
/// order it found. Owned by the main window's undo stack.
class TOrderPicturesCommand : public QUndoCommand {
public:
    using TOrder = void (TKelPictureRefs::*)();

    TOrderPicturesCommand(TKelPictureRefs& list, TOrder order, const QString& text);

    void undo() override;
    void redo() override;

private:
    TKelPictureRefs& m_list;
    TOrder m_order;
    std::vector<TKelPicture*> m_before;
};
