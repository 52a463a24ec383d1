#include "PassiveWindow.h"

#include <QWidget>

void MakePassiveWindow(TForm* form)
{
    QWidget* w = form->Widget();
    const bool shown = w->isVisible();
    w->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus
                      | Qt::WindowTransparentForInput);
    w->setAttribute(Qt::WA_ShowWithoutActivating, true);
    w->setFocusPolicy(Qt::NoFocus);
    if (shown) w->show();
}
