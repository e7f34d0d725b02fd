#pragma once

// What the launcher key does: a launcher the user is looking at (shown and
// holding the focus) goes away; in every other case (hidden, or shown behind
// another application's window) it comes to the front with the focus.
enum class ToggleAction { Hide, Show };

[[nodiscard]] constexpr ToggleAction toggleAction(bool windowVisible, bool applicationActive) {
    return windowVisible && applicationActive ? ToggleAction::Hide : ToggleAction::Show;
}
