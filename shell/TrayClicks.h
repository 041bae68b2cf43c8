#pragma once
// What the notification icon's mouse messages mean. The shell reports raw
// button downs and ups; a click is a down and the matching up with the
// cursor still inside the double-click rectangle, so a drag is no click.
namespace kelvane {

// The fixed values the tray instances and their callers agree on.
inline constexpr long long trayPresentReply = 0x3E50A2F4;
inline constexpr long long trayCloseRequest = 0x8001;
// Private to the icon and its window; any unused application message serves.
inline constexpr unsigned trayCallbackMessage = 49045;

enum class TrayButton { None = -1, Left = 0, Right = 1, Middle = 2 };

class ClickTracker {
public:
    void press(TrayButton button, int x, int y) {
        button_ = button;
        x_ = x;
        y_ = y;
    }
    // True when this release completes a click: it is the button pressed and
    // the cursor moved by no more than width and height since. Any release of
    // that button forgets the press.
    bool release(TrayButton button, int x, int y, int width, int height);
    TrayButton pressed() const { return button_; }

private:
    TrayButton button_ = TrayButton::None;
    int x_ = 0;
    int y_ = 0;
};

// A main window that is minimised while exactly one tray instance answers
// closes, since that icon brings it back; otherwise it minimises normally.
bool minimiseEndsMainWindow(unsigned trayInstances);

} // namespace kelvane
