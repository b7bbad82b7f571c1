// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class THelpManager;

/// F1 anywhere in the program: asks the help manager for the help context of the focused
/// control, or of the nearest window or control around it that has one (the "HelpContext"
/// property: 2000 for the main window, 2100 for the layout dialog). Made once in main() after
/// the application object; it watches the whole application.
class THelpKey : public QObject {
    Q_OBJECT

public:
    explicit THelpKey(THelpManager& manager, QObject* parent = nullptr);
    ~THelpKey() override;

    /// The help context of a widget: its own, else the one of the nearest widget around it;
    /// 0 when none has one.
    static int HelpContextOf(const QWidget* widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    THelpManager& m_manager;
};
