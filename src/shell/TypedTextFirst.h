#pragma once

class MainScreen;
class QQuickWindow;

// How long a search waits for the frame that shows its typed text.
inline constexpr int typedTextFrameWaitMs = 50;

// Makes `screen` draw a keystroke's text in `window` before it narrows the
// grid: the letter shows within a frame of the key however large the
// catalogue, and the grid follows in the next. A window out of sight draws
// nothing, so there the search applies at once; a frame that does not come
// is waited for `frameWaitMs` at most. Both must outlive the connection.
void drawTypedTextFirst(MainScreen& screen, QQuickWindow& window,
                        int frameWaitMs = typedTextFrameWaitMs);
