#pragma once

// What a drop target tells the user while a drag moves over it; the pointer
// shows it as its drop action.
enum class DropOperation {
    Forbidden,
    Copy, // on an application: resting long enough that a drop makes a folder
    Move,
};
