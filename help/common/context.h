/* SPDX-FileCopyrightText: 2026 Kelvo developers */
/* SPDX-License-Identifier: GPL-3.0-or-later */
/* Help contexts: what F1 and the Help buttons ask for. */
#define IDH_MAINWINDOW 2000
#define IDH_LAYOUTDIALOG 2100
