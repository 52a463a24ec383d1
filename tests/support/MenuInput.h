#pragma once
// The pointer on a window's menu bar, as the user opens and leaves its
// drop-downs.
#include "framework/Menus.h"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

// Opens the drop-down of a title of the bar by a click at the title's place;
// the drop-down when it is then open, else nullptr.
inline QMenu* OpenDropDown(QMenuBar* bar, TMenuItem* title)
{
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(title->Action()).center());
    QApplication::processEvents();
    QMenu* menu = title->Action()->menu();
    return menu && menu->isVisible() ? menu : nullptr;
}

inline bool AnyDropDownOpen()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->inherits("QMenu") && w->isVisible()) return true;
    return false;
}

inline void CloseDropDowns()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->inherits("QMenu") && w->isVisible()) w->hide();
    QApplication::processEvents();
}
