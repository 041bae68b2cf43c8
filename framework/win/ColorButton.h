#pragma once
// An owner-drawn push button whose text takes a hover colour while the
// mouse is over it. The button subclasses itself; its dialog passes
// WM_DRAWITEM on to the control (see forwardDrawItem).
#include <windows.h>

namespace Plinth {

class ColorButton {
public:
    ColorButton() = default;
    ColorButton(const ColorButton&) = delete;
    ColorButton& operator=(const ColorButton&) = delete;
    ~ColorButton();

    // Takes over the button: owner drawing, hover tracking, the two text
    // colours. The button keeps its id, text and place.
    void attach(HWND button, COLORREF textColour, COLORREF hoverColour);
    HWND handle() const { return button_; }
    bool hovering() const { return hovering_; }

private:
    static LRESULT CALLBACK subclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    void draw(const DRAWITEMSTRUCT& item) const;
    void setHovering(bool hovering);

    HWND button_ = nullptr;
    COLORREF textColour_ = 0;
    COLORREF hoverColour_ = 0;
    bool hovering_ = false;
};

// Sends a dialog's WM_DRAWITEM to the control that is to be drawn, so that
// owner-drawn controls draw themselves; true when the control drew.
bool forwardDrawItem(LPARAM drawItem);

} // namespace Plinth
