#pragma once
// A mark over the image (catalogue star, pick, field centre): a plain record,
// placed by its top-left corner in image pixels (x to the right, y down from
// the image's top-left corner). The image box paints the marks; they take no
// mouse events.

struct Mark {
    float Left = 0;   // pixels from the image's left edge to the mark's left edge
    float Top = 0;    // pixels from the image's top edge to the mark's top edge
    float Height = 0; // pixels; marks are square: Width == Height
    bool Visible = false;
};
