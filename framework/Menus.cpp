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

void TMenuItemList::SetImages(TImageList* list)
{
    images = list;
    RefreshImages();
}

void TMenuItemList::RefreshImages()
{
    for (TMenuItem* item : items) {
        item->ShowImage();
        item->RefreshImages();
    }
}

namespace {
// True when the caption marks its own accelerator ("&File"; "&&" is a plain
// ampersand).
bool HasAccelerator(const QString& caption)
{
    for (int i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != u'&') continue;
        if (caption[i + 1] != u'&') return true;
        ++i;
    }
    return false;
}

QChar AcceleratorOf(const QString& caption)
{
    for (int i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != u'&') continue;
        if (caption[i + 1] != u'&') return caption[i + 1].toUpper();
        ++i;
    }
    return {};
}
} // namespace

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
        subMenu->setTitle(action->text());
        action->setMenu(subMenu.data());
        if (parentList) parentList->ChildChanged(this);
    }
    return subMenu;
}

void TMenuItem::ChildRemoved(TMenuItem* item)
{
    TMenuItemList::ChildRemoved(item);
    // Without children the item is a command again, not an empty drop-down.
    if (items.empty() && subMenu) {
        action->setMenu(static_cast<QMenu*>(nullptr));
        delete subMenu.data();
        if (parentList) parentList->ChildChanged(this);
    }
}

void TMenuItem::SetCaption(const QString& c)
{
    caption = c;
    action->setSeparator(c == QStringLiteral("-"));
    SetDisplayText(c);
    if (parentList) parentList->ChildChanged(this);
}

void TMenuItem::SetDisplayText(const QString& text)
{
    action->setText(text);
    if (subMenu) subMenu->setTitle(text);
}

void TMenuItem::SetEnabled(bool v) { enabled = v; action->setEnabled(v); }

void TMenuItem::SetVisible(bool v)
{
    visible = v;
    action->setVisible(v);
    if (parentList) parentList->ChildChanged(this);
}

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
    ShowImage();
}

void TMenuItem::ShowImage()
{
    TImageList* list = nullptr;
    for (TMenuItemList* p = parentList; p && !list; ) {
        list = p->Images();
        auto* item = dynamic_cast<TMenuItem*>(p);
        p = item ? item->Parent() : nullptr;
    }
    const QImage image = list ? list->Image(imageIndex) : QImage();
    action->setIcon(image.isNull() ? QIcon() : QIcon(QPixmap::fromImage(image)));
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
    if (TForm* form = OwnerForm()) form->SetMenu(nullptr);
    delete bar.data();
}

TForm* TMainMenu::OwnerForm() const
{
    for (TComponent* c = Owner(); c; c = c->Owner())
        if (auto* form = dynamic_cast<TForm*>(c)) return form->Menu() == this ? form : nullptr;
    return nullptr;
}

void TMainMenu::ChildAdded(TMenuItem* item)
{
    // The item's own drop-down comes with its first child (TMenuItem::SubMenu).
    items.push_back(item);
    bar->addAction(item->Action());
    Changed();
}

void TMainMenu::ChildRemoved(TMenuItem* item)
{
    TMenuItemList::ChildRemoved(item);
    Changed();
}

void TMainMenu::ChildChanged(TMenuItem*) { Changed(); }

bool TMainMenu::HasVisibleItems() const
{
    return std::any_of(items.begin(), items.end(), [](TMenuItem* m) { return m->Visible(); });
}

void TMainMenu::Changed()
{
    AssignAccelerators();
    if (TForm* form = OwnerForm()) form->MenuChanged();
}

// Each top-level caption without a marked accelerator gets the first letter
// not yet taken, at a word start if possible, so that Alt+letter reaches
// every item of the bar.
void TMainMenu::AssignAccelerators()
{
    QList<QChar> used;
    for (TMenuItem* m : items)
        if (HasAccelerator(m->Caption())) used << AcceleratorOf(m->Caption());
    for (TMenuItem* m : items) {
        const QString c = m->Caption();
        if (c == QStringLiteral("-") || HasAccelerator(c)) {
            m->SetDisplayText(c);
            continue;
        }
        int chosen = -1;
        for (int pass = 0; pass < 2 && chosen < 0; ++pass)
            for (int i = 0; i < c.size(); ++i) {
                const bool wordStart = i == 0 || c[i - 1].isSpace();
                if ((pass == 0 && !wordStart) || !c[i].isLetterOrNumber() || c[i] == u'&') continue;
                if (i > 0 && c[i - 1] == u'&') continue;
                if (used.contains(c[i].toUpper())) continue;
                chosen = i;
                break;
            }
        if (chosen < 0 || !m->Visible()) {
            m->SetDisplayText(c);
            continue;
        }
        used << c[chosen].toUpper();
        m->SetDisplayText(c.left(chosen) + u'&' + c.mid(chosen));
    }
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
