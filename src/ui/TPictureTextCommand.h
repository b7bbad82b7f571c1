// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QUndoCommand>

#include <string>

class TKelPicture;

/// A picture's title or comment changed, as one undo step. The grid's editor hands over every
/// keystroke; those of one editing session merge into one step. Owned by the main window's
/// undo stack; the picture outlives it (the stack is cleared before the pictures go).
class TPictureTextCommand : public QUndoCommand {
public:
    enum class TField { Title, Comment };

    /// session: the editor the text came from; edits of the same session merge, a negative
    /// one (a cell emptied with Delete) never does.
    TPictureTextCommand(TKelPicture& picture, TField field, std::string value, int session,
                        const QString& text);

    void undo() override;
    void redo() override;
    int id() const override { return 1; }
    bool mergeWith(const QUndoCommand* other) override;

private:
    void Set(const std::string& value);

    TKelPicture& m_picture;
    TField m_field;
    std::string m_old;
    std::string m_new;
    int m_session;
};
