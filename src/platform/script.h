// What a headless session does, one step at a time: the actions of a script
// applied to the topmost open window.
#pragma once

#include <deque>
#include <string>

namespace orlax::platform {

struct ScriptAction {
    enum class Kind {
        Click,       // move the focus to control `id`, then click it
        Focus,       // move the focus to control `id`
        Type,        // focus control `id` and replace its text with `text`
        Leave,       // move the focus from control `id` to the next tab stop
        Tab,         // move the focus to the next tab stop
        ListItems,   // write the list of combo box `id`, one entry a line
    };
    Kind kind = Kind::Click;
    int id = 0;
    std::string text;
    std::string source;  // the words of the script it came from, for messages
};

using Script = std::deque<ScriptAction>;

}  // namespace orlax::platform
