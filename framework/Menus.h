#pragma once
// Main and pop-up menus. Items are created with their owner (the form) and
// the menu or item they stand in, in the order they appear:
//     File1 = new TMenuItem(this, MainMenu1);   File1->SetCaption("&File");
//     New1  = new TMenuItem(this, File1);       New1->SetCaption("&New...");
//     New1->OnClick = Bind(this, &TForm1::MainMenuNewClick);
// A caption "-" makes a separator. A form's first TMainMenu becomes its menu
// bar. An item opens a drop-down only while it has children; a top-level item
// without children is a command of the bar itself (a click runs its OnClick).
// Top-level captions without an '&' get an accelerator letter of their own
// (Alt+letter), unique within the bar; Caption() stays as set.
#include "Classes.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

class QAction;
class QMenu;
class QMenuBar;
class TMenuItem;
class TImageList;
class TForm;

// What menus and items share: an ordered list of child items.
class TMenuItemList : public TComponent {
public:
    using TComponent::TComponent;
    int Count() const { return int(items.size()); }
    TMenuItem* Items(int index) const { return items.at(index); }
    TMenuItem* operator[](int index) const { return Items(index); }
    // Framework side: the Qt menu the child actions go into (made on demand).
    virtual QMenu* SubMenu() = 0;
    virtual void ChildAdded(TMenuItem* item);
    virtual void ChildRemoved(TMenuItem* item);
    // A child's caption or visibility changed.
    virtual void ChildChanged(TMenuItem*) {}
    // The pictures of the items below, by their ImageIndex (an item takes
    // them from the nearest menu or item up its tree that has a list). A
    // list given after the items took their indices still shows on them.
    TImageList* Images() const { return images; }
    void SetImages(TImageList* list);
protected:
    // Shows the pictures of every item below afresh.
    void RefreshImages();
    std::vector<TMenuItem*> items;
private:
    TImageList* images = nullptr;
};

class TMenuItem : public TMenuItemList {
public:
    TMenuItem(TComponent* AOwner, TMenuItemList* AParent);
    ~TMenuItem() override;
    QString Caption() const { return caption; }
    void SetCaption(const QString& c);
    bool Enabled() const { return enabled; }
    void SetEnabled(bool v);
    bool Visible() const { return visible; }
    void SetVisible(bool v);
    bool Checked() const { return checked; }
    void SetChecked(bool v);   // fires nothing
    QString Hint() const { return hint; }
    void SetHint(const QString& h);
    int ImageIndex() const { return imageIndex; }
    void SetImageIndex(int i);
    void SetShortCut(const QString& keys);
    TMenuItemList* Parent() const { return parentList; }
    // Runs OnClick directly (as a click from code).
    void Click();
    TNotifyEvent OnClick;

    QAction* Action() const { return action; }
    QMenu* SubMenu() override;
    void ChildRemoved(TMenuItem* item) override;
    // Framework side: shows the picture at ImageIndex of the nearest list.
    void ShowImage();
    // Framework side: the text the action shows (the caption with an
    // accelerator the bar chose for it).
    void SetDisplayText(const QString& text);
private:
    TMenuItemList* parentList;
    QPointer<QAction> action;
    QPointer<QMenu> subMenu;
    QString caption, hint;
    bool enabled = true, visible = true, checked = false;
    int imageIndex = -1;
};

class TMainMenu : public TMenuItemList {
public:
    explicit TMainMenu(TComponent* AOwner);
    ~TMainMenu() override;
    QMenuBar* MenuBar() const { return bar; }
    QMenu* SubMenu() override { return nullptr; }
    void ChildAdded(TMenuItem* item) override;
    void ChildRemoved(TMenuItem* item) override;
    void ChildChanged(TMenuItem* item) override;
    // True when at least one top-level item is visible: an empty menu shows
    // no bar and takes no room.
    bool HasVisibleItems() const;
private:
    void Changed();
    void AssignAccelerators();
    TForm* OwnerForm() const;
    QPointer<QMenuBar> bar;
};

class TPopupMenu : public TMenuItemList {
public:
    explicit TPopupMenu(TComponent* AOwner);
    ~TPopupMenu() override;
    // Shows the menu at a screen point (does not wait for a choice).
    void Popup(int x, int y);
    TNotifyEvent OnPopup;
    QMenu* SubMenu() override { return menu; }
    TComponent* PopupComponent = nullptr;
private:
    QPointer<QMenu> menu;
};
