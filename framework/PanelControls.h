#pragma once
// Panels, progress bars, tool bars and up-down buttons.
#include "Control.h"

class QProgressBar;
class QToolButton;
class TImageList;

enum TBevelCut { bvNone, bvLowered, bvRaised };
enum TBorderStyleCtl { bsNoneCtl, bsSingleCtl };
// A panel: a box with a centred caption on which other controls stand.
class TPanel : public TControl {
public:
    TPanel(TComponent* AOwner, TControl* AParent);
    void SetCaption(const QString& c) override;
    void SetBevelOuter(TBevelCut b);
    void SetBevelInner(TBevelCut b);
    void SetBorderWidth(int w);
    void SetSingleBorder(bool v);
    void SetColor(const TColor& c) override;
    bool ParentBackground = false;
private:
    TBevelCut bevelOuter = bvRaised;
};

class TProgressBar : public TControl {
public:
    TProgressBar(TComponent* AOwner, TControl* AParent);
    int Min() const { return min; }
    int Max() const { return max; }
    void SetMin(int v);
    void SetMax(int v);
    int Position() const { return position; }
    void SetPosition(int v);   // clamps to Min..Max
    void SetSmooth(bool v) {}
private:
    QProgressBar* bar() const;
    int min = 0, max = 100, position = 0;
};

enum TUDBtnType { btNext, btPrev };
using TUDClickEvent = std::function<void(TObject* Sender, TUDBtnType Button)>;
// Up and down buttons over a Position in Min..Max.
class TUpDown : public TControl {
public:
    TUpDown(TComponent* AOwner, TControl* AParent);
    int Min() const { return min; }
    int Max() const { return max; }
    void SetMin(int v);
    void SetMax(int v);
    int Increment() const { return increment; }
    void SetIncrement(int v) { increment = v; }
    int Position() const { return position; }
    // Clamps to Min..Max; fires nothing.
    void SetPosition(int v);
    // A user's click: moves Position by Increment within Min..Max, then OnClick.
    void ClickButton(TUDBtnType button);
    TUDClickEvent OnClick;
    QToolButton* UpButton() const { return up; }
    QToolButton* DownButton() const { return down; }
private:
    QToolButton* up = nullptr;
    QToolButton* down = nullptr;
    int min = 0, max = 100, position = 0, increment = 1;
};

class TToolButton;
class TToolBar : public TControl {
public:
    TToolBar(TComponent* AOwner, TControl* AParent);
    TImageList* Images() const { return images; }
    // Buttons that already have their picture indexes show the pictures
    // of the new list.
    void SetImages(TImageList* list);
    // The widest the bar may be (0 = no limit), also when its Align
    // stretches it.
    int MaxWidth() const { return maxWidth; }
    void SetMaxWidth(int w);
    // A transparent bar paints no background of its own.
    bool Transparent() const { return transparent; }
    void SetTransparent(bool v);
    void SetBounds(int left, int top, int width, int height) override;
    int ButtonCount() const { return int(buttons.size()); }
    TToolButton* Buttons(int index) const { return buttons.at(index); }
    // Framework side.
    void AddButton(TToolButton* b);
    void RemoveButton(TToolButton* b);
    void LayoutButtons();
private:
    TImageList* images = nullptr;
    std::vector<TToolButton*> buttons;
    int maxWidth = 0;
    bool transparent = false;
};

enum TToolButtonStyle { tbsButton, tbsSeparator };
class TToolButton : public TControl {
public:
    // Buttons stand on their tool bar in creation order.
    TToolButton(TComponent* AOwner, TToolBar* AToolBar);
    ~TToolButton() override;
    void SetCaption(const QString& c) override;
    int ImageIndex() const { return imageIndex; }
    void SetImageIndex(int i);
    void SetIcon(const QImage& image);
    TToolButtonStyle Style() const { return style; }
    void SetStyle(TToolButtonStyle s);
    void Click() override;
    QToolButton* Button() const;
private:
    friend class TToolBar;
    void ShowImage();   // the picture of ImageIndex in the bar's list, or none
    TToolBar* toolBar;
    int imageIndex = -1;
    TToolButtonStyle style = tbsButton;
};
