// What the panel tells the user: a warning box over the window that does not hold the window up
// (the send and the tests go on while it is open).
#pragma once

#include <QMessageBox>
#include <QString>

#include "panel/portable/panel_texts.h"

inline void ShowProblem(QWidget* window, const QString& text) {
    auto* box = new QMessageBox(QMessageBox::Warning, QString::fromUtf8(kPanelTitle), text,
                                QMessageBox::Ok, window);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}
