#include "widgets/TextGroup.h"

#include <algorithm>

TextGroup::~TextGroup() {
    delete titleBox_;
    delete titleSlot_;
}

bool TextGroup::isDirty() const {
    if (TextBox::isDirty() || (titleBox_ && titleBox_->isDirty()))
        return true;
    for (const ChildSlot* slot : children_)
        if (slot->box->isDirty())
            return true;
    return false;
}

void TextGroup::setTitle(const char* text) {
    if (!titleBox_) {
        titleBox_ = new TextList(screen(), titleStyle_);
        titleSlot_ = new ChildSlot;
        titleSlot_->box = titleBox_;
    }
    titleBox_->setTitle(text);
    invalidate();
}

void TextGroup::setTitleStyle(const TextStyle& style) {
    titleStyle_ = style;
    if (titleBox_)
        titleBox_->setStyle(style);
    invalidate();
}

void TextGroup::addChild(TextBox* box) {
    if (!box)
        return;
    ChildSlot* slot = new ChildSlot;
    slot->box = box;
    children_.add(slot);
    invalidate();
}

void TextGroup::setColumns(bool columns) {
    columns_ = columns;
    invalidate();
}

bool TextGroup::getSize(int& width, int& height) {
    if (!isDirty()) {
        width = this->width();
        height = this->height();
        return true;
    }
    const TextStyle& s = style();
    const bool framed = s.framed && s.frameWidth > 0;
    const int f = framed ? s.frameWidth : 0;
    const int ox = framed ? s.marginX + f : 0;
    const int oy = framed ? s.marginY + f : 0;

    // The sizes the last layout forced on the children are let go first, so
    // that they follow their contents.
    for (ChildSlot* slot : children_) {
        if (columns_) {
            slot->box->setMinHeight(-1);
            slot->box->setMaxHeight(-1);
        } else {
            slot->box->setMinWidth(-1);
            slot->box->setMaxWidth(-1);
        }
    }

    int titleWidth = 0, titleHeight = 0;
    if (titleBox_) {
        titleBox_->setMinWidth(-1);
        titleBox_->setMaxWidth(-1);
        if (!titleBox_->getSize(titleWidth, titleHeight))
            return false;
        titleSlot_->x = framed && s.marginX > 0 ? ox - s.marginX : ox;
        titleSlot_->y = oy;
        titleSlot_->width = titleWidth;
        titleSlot_->height = titleHeight;
    }

    int cx = ox, cy = oy + titleHeight;
    int tallest = 0, widest = titleWidth;
    const int count = children_.size();
    for (int i = 0; i < count; ++i) {
        ChildSlot* slot = children_[i];
        if (!slot->box->getSize(slot->width, slot->height))
            return false;
        const int gap = i + 1 < count ? s.lineSpacing : 0;
        if (columns_) {
            slot->x = cx;
            slot->y = cy;
            cx += slot->width + gap;
            tallest = std::max(tallest, slot->height);
        } else {
            slot->x = ox;
            slot->y = cy;
            cy += slot->height + gap;
            widest = std::max(widest, slot->width);
        }
    }

    for (ChildSlot* slot : children_) {
        if (columns_) {
            slot->box->setLimits(-1, tallest, -1, tallest);
            slot->height = tallest;
        } else {
            slot->box->setLimits(widest, -1, widest, -1);
            slot->width = widest;
        }
    }

    int w, h;
    if (columns_) {
        w = cx + ox;
        h = tallest + 2 * oy + titleHeight;
    } else {
        w = widest + 2 * ox;
        h = cy + oy;
    }
    applyLimits(w, h);

    if (titleBox_) {
        const int titleBoxWidth = w - 2 * f;
        titleBox_->setLimits(titleBoxWidth, -1, titleBoxWidth, -1);
        titleSlot_->width = titleBoxWidth;
    }
    keepSize(w, h);
    clearDirty();
    width = w;
    height = h;
    return true;
}

bool TextGroup::render(GfxSurface* target, int x, int y) {
    int w = 0, h = 0;
    if (!target || !getSize(w, h))
        return false;
    const int f = fillFrame(target, x, y);
    bool drawn = true;
    if (titleBox_)
        drawn = titleBox_->render(target, x + f, y + f) && drawn;
    for (ChildSlot* slot : children_)
        drawn = slot->box->render(target, x + slot->x, y + slot->y) && drawn;
    return drawn;
}
