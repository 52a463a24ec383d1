#include "Menus.h"
#include "Controls.h"
#include "Forms.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <algorithm>

void TMenuItemList::ChildAdded(TMenuItem* item)
{
    items.push_back(item);
    if (QMenu* m = SubMenu()) m->addAction(item->Action());
}

void TMenuItemList::ChildRemoved(TMenuItem* item)
{
    items.erase(std::remove(items.begin(), items.end(), item), items.end());
}

TMenuItem::TMenuItem(TComponent* AOwner, TMenuItemList* AParent)
    : TMenuItemList(AOwner), parentList(AParent), action(new QAction)
{
    QObject::connect(action.data(), &QAction::triggered, action.data(), [this] {
        action->setChecked(checked);   // items do not check themselves
        SafeCall([this] { Click(); });
    });
    if (parentList) parentList->ChildAdded(this);
}

TMenuItem::~TMenuItem()
{
    while (!items.empty()) delete items.back();
    if (parentList) parentList->ChildRemoved(this);
    delete subMenu.data();
    delete action.data();
}

QMenu* TMenuItem::SubMenu()
{
    if (!subMenu) {
        subMenu = new QMenu;
        subMenu->setTitle(caption);
        action->setMenu(subMenu.data());
    }
    return subMenu;
}

void TMenuItem::SetCaption(const QString& c)
{
    caption = c;
    action->setSeparator(c == QStringLiteral("-"));
    action->setText(c);
    if (subMenu) subMenu->setTitle(c);
}

void TMenuItem::SetEnabled(bool v) { enabled = v; action->setEnabled(v); }
void TMenuItem::SetVisible(bool v) { visible = v; action->setVisible(v); }

void TMenuItem::SetChecked(bool v)
{
    checked = v;
    action->setCheckable(v || action->isCheckable());
    action->setChecked(v);
}

void TMenuItem::SetHint(const QString& h) { hint = h; action->setStatusTip(h); action->setToolTip(h); }

void TMenuItem::SetImageIndex(int i)
{
    imageIndex = i;
    for (TMenuItemList* p = parentList; p; ) {
        if (p->Images) {
            QImage image = p->Images->Image(i);
            if (!image.isNull()) action->setIcon(QIcon(QPixmap::fromImage(image)));
            break;
        }
        auto* item = dynamic_cast<TMenuItem*>(p);
        p = item ? item->Parent() : nullptr;
    }
}

void TMenuItem::SetShortCut(const QString& keys) { action->setShortcut(QKeySequence(keys)); }

void TMenuItem::Click()
{
    if (OnClick) OnClick(this);
}

TMainMenu::TMainMenu(TComponent* AOwner) : TMenuItemList(AOwner), bar(new QMenuBar)
{
    for (TComponent* c = AOwner; c; c = c->Owner())
        if (auto* form = dynamic_cast<TForm*>(c)) {
            if (!form->Menu()) form->SetMenu(this);
            break;
        }
}

TMainMenu::~TMainMenu()
{
    while (!items.empty()) delete items.back();
    for (TComponent* c = Owner(); c; c = c->Owner())
        if (auto* form = dynamic_cast<TForm*>(c)) {
            if (form->Menu() == this) form->SetMenu(nullptr);
            break;
        }
    delete bar.data();
}

void TMainMenu::ChildAdded(TMenuItem* item)
{
    items.push_back(item);
    item->SubMenu();   // a top-level item opens a drop-down menu
    bar->addAction(item->Action());
}

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenuItemList(AOwner), menu(new QMenu) {}

TPopupMenu::~TPopupMenu()
{
    while (!items.empty()) delete items.back();
    delete menu.data();
}

void TPopupMenu::Popup(int x, int y)
{
    if (OnPopup) OnPopup(this);
    menu->popup(QPoint(x, y));
}
