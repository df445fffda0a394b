// The group box: other text boxes laid out side by side (columns) or one
// below the other under a common title, every column made as tall as the
// tallest (every row as wide as the widest). The group does not own its
// children; their owner deletes the group first.
#pragma once

#include "widgets/TextBox.h"

struct ChildSlot {
    TextBox* box = nullptr;
    int x = 0, y = 0, width = 0, height = 0;
};

class TextGroup : public TextBox {
public:
    TextGroup(GfxScreen* screen, const TextStyle& style) : TextBox(screen, style) {}
    ~TextGroup() override;

    bool getSize(int& width, int& height) override;
    bool render(GfxSurface* target, int x, int y) override;
    // A change inside a child shows on the group's next update too.
    bool isDirty() const override;

    // The title box is made on first use, in the title style.
    void setTitle(const char* text);
    void setTitleStyle(const TextStyle& style);
    const TextStyle& titleStyle() const { return titleStyle_; }
    void addChild(TextBox* box);
    // Side by side (true) or one below the other (false).
    void setColumns(bool columns);
    bool columns() const { return columns_; }

    int childCount() const { return children_.size(); }
    const ChildSlot& child(int index) const { return *children_[index]; }
    const ChildSlot* titleSlot() const { return titleSlot_; }
    TextList* titleBox() const { return titleBox_; }

private:
    bool columns_ = false;
    TextStyle titleStyle_;
    TextList* titleBox_ = nullptr;
    ChildSlot* titleSlot_ = nullptr;
    PtrArray<ChildSlot> children_;
};
