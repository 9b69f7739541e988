#pragma once
// Size arithmetic of the main window's compact and tall layouts, in client
// pixels (the window system adds frame and caption).

/// The template the controls are placed in: full client size below the menu bar.
inline constexpr int kTemplateWidth = 800;
inline constexpr int kTemplateHeight = 640;

/// Client height (below the menu bar) of the compact layout at start.
inline int CompactClientHeight(int fullHeight) {
    return 54 * fullHeight / 100;
}
/// Client height when leaving "View dups" for another page.
inline int ReturnClientHeight(int fullHeight) {
    return 53 * fullHeight / 100;
}

struct TallLayout {
    int x = 0;  ///< window position
    int y = 0;
    int width = 0;   ///< client width
    int height = 0;  ///< client height below the menu bar
    int dw = 0;      ///< extra width given to the panes (half each)
    int dh = 0;      ///< extra height given to the panes
};

/// The tall "View dups" layout for a window at (x, y) whose template is
/// `width` x `fullHeight`, on a screen of `screenWidth` x `screenHeight`.
/// `largeView` grows it towards the screen size, keeping a 13:4 ratio of the
/// extra width to the extra height. Never shrinks below the template.
TallLayout ComputeTallLayout(int x, int y, int width, int fullHeight, int screenWidth,
                             int screenHeight, bool largeView);
