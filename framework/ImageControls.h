#pragma once
// Pictures and image lists.
#include "Control.h"

// A picture control: Stretch (scale to the control), Proportional (keep the
// aspect ratio), Center. Canvas() draws on the picture; on an empty picture it
// first makes a blank white one of the control's size.
class TImage : public TControl {
public:
    TImage(TComponent* AOwner, TControl* AParent);
    const QImage& Picture() const { return picture; }
    void SetPicture(const QImage& image);
    void ClearPicture();   // Picture = nothing
    bool Stretch() const { return stretch; }
    void SetStretch(bool v);
    bool Proportional() const { return proportional; }
    void SetProportional(bool v);
    bool Center() const { return center; }
    void SetCenter(bool v);
    TCanvas* Canvas();
    // Framework side: the rectangle the picture is drawn into.
    QRect DestRect() const;
    void Repaint();
private:
    QImage picture;
    TCanvas canvas;
    bool stretch = false, proportional = false, center = false;
};

// A list of icons for tool buttons and menu items.
class TImageList : public TComponent {
public:
    explicit TImageList(TComponent* AOwner) : TComponent(AOwner) {}
    int Add(const QImage& image);
    int Count() const { return int(images.size()); }
    QImage Image(int index) const;
private:
    std::vector<QImage> images;
};
