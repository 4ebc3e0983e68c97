// What a headless session does, one step at a time: the actions of a script
// applied to the window each was written for.
#pragma once

#include <deque>
#include <string>

namespace orlax::headless {

struct ScriptAction {
    enum class Kind {
        Click,       // move the focus to control `id`, then click it
        Focus,       // move the focus to control `id`
        Type,        // focus control `id` and replace its text with `text`
        Leave,       // move the focus from control `id` to the next tab stop
        Tab,         // move the focus to the next tab stop
        ListItems,   // write the list of combo box `id`, one entry a line
        FrontEnd,    // a step the front end carries out itself, named by `text`
    };
    Kind kind = Kind::Click;
    int id = 0;
    std::string text;
    std::string source;  // the words of the script it came from, for messages
    int step = 0;        // its place among the actions as written, from 1; 0 when not known

    // The window a step was written for: 0 the main window, else the dialog
    // that the click with that `opensGroup` opens. A step runs only in its
    // own window.
    int group = 0;
    // A click meant to open a dialog: the group of the steps that follow it
    // and belong to that dialog; 0 for any other step.
    int opensGroup = 0;
};

using Script = std::deque<ScriptAction>;

}  // namespace orlax::headless
