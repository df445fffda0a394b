// The input layer's state in one line, and scripts of scripted events for
// the headless input, so a table of scenarios compares as one transcript.
#pragma once

#include "tests/support/ScriptedInput.h"

#include <cstdio>
#include <sstream>
#include <string>

// Everything the input shows after an update, what is at rest left out:
// keys not up (when and where pressed), the keyboard buffer with the
// character each key types, the new key, pad, mouse, wheel and joystick.
inline std::string inputState(const GfxInput& input, bool withTimes = true) {
    static const char* const kStates[] = {"up", "released", "pressed", "held"};
    static const char* const kPad[] = {"south", "east", "west", "north", "lb",   "rb",   "back",
                                       "start", "ls",   "rs",   "up",    "down", "left", "right"};
    std::ostringstream out;
    auto point = [&out](const char* what, GfxInputPoint p) {
        if (p.x || p.y)
            out << ' ' << what << '=' << p.x << ',' << p.y;
    };
    for (int code = 0; code < kGfxKeyCodeCount; ++code) {
        char name[kGfxKeyNameSize];
        if (!input.GetKeyState(code) || input.GetKeyName(code, name, sizeof name) != 1)
            continue;
        out << " [" << name << "]=" << kStates[input.GetKeyState(code)];
        if (withTimes && code < kGfxKeyMouseFirst && input.GetPressTime(code))
            out << '@' << input.GetPressTime(code);
        if (code >= kGfxKeyMouseFirst && code < kGfxKeyJoystickFirst)
            point("at", input.GetPressPosition(code));
    }
    for (int scanCode = 0; scanCode < 256; ++scanCode)
        if (input.GetRawKey(scanCode)) {
            char raw[32];
            std::snprintf(raw, sizeof raw, " raw%02X=%02X>%d", scanCode, input.GetRawKey(scanCode),
                          input.ScanCodeToChar(scanCode));
            out << raw;
        }
    if (input.GetLastNewKey())
        out << " new=" << int{input.GetLastNewKey()};
    for (int control = 0; control < kGfxPadControlCount; ++control)
        if (input.GetPadState(control))
            out << ' ' << kPad[control] << '=' << kStates[input.GetPadState(control)];
    if (input.IsPadInUse())
        out << " pad in use";
    if (input.HasMouse()) {
        out << " mouse=" << input.GetMousePosition().x << ',' << input.GetMousePosition().y;
        point("moved", input.GetMouseMovement());
        point("travel", input.GetMouseTravel());
    }
    if (input.GetWheelUp() || input.GetWheelDown() || input.GetWheelUpNotches() ||
        input.GetWheelDownNotches())
        out << " wheel=" << input.GetWheelUp() << input.GetWheelDown() << " notches "
            << input.GetWheelUpNotches() << ',' << input.GetWheelDownNotches();
    if (input.HasJoystick()) {
        out << " joystick " << input.GetJoystickSubtype();
        point("at", input.GetJoystickPosition());
        point("moved", input.GetJoystickMovement());
        point("travel", input.GetJoystickTravel());
    }
    if (input.GetJoystickLosses())
        out << " lost " << input.GetJoystickLosses();
    return out.str();
}

// A script of steps split at spaces, on the headless input: "+1e" and "-1e"
// a key (scan code in hex), "+m1" "-m1" a mouse button, "m5,1" a movement,
// "w2" wheel notches, "text.." typed text, "shift", "off" "on" the focus,
// "t5000" the time; a joystick "plug"ged ("pad": with a known layout),
// "unplug"ged, "gone" unreported, another "removed", "j1000,-250" its axes,
// "s0,-16384" the left stick, "b9" "d3" a button or direction button
// toggled, "unmapped"; "cursor+" "cursor-". ".", "clear", "new" and "keep"
// (detect a new key) add a line of the steps since and the input state.
class InputScript : public ScriptedInput {
public:
    using ScriptedInput::ScriptedInput;

    std::string run(const std::string& script) {
        std::string out, steps;
        std::istringstream in(script);
        for (std::string step; in >> step;) {
            steps += (steps.empty() ? "" : " ") + step;
            const std::string rest = step.substr(1);
            if (step == ".")
                update();
            else if (step == "clear")
                input.ClearStates();
            else if (step == "new" || step == "keep")
                input.DetectNewKey(step == "new");
            else if (step == "off" || step == "on")
                platform.pushEvent(step == "off" ? PlatformEvent::Deactivated
                                                 : PlatformEvent::Activated);
            else if (rest[0] == 'm')
                mouse(step[0] == '+' ? PlatformEvent::MouseButtonDown
                                     : PlatformEvent::MouseButtonUp,
                      std::stoi(rest.substr(1)));
            else if (step[0] == '+' || step[0] == '-')
                key(step[0] == '+' ? PlatformEvent::KeyDown : PlatformEvent::KeyUp,
                    std::stoi(rest, nullptr, 16));
            else if (step[0] == 'm' || step[0] == 'w') {
                int dx = 0, dy = 0;
                std::sscanf(rest.c_str(), "%d,%d", &dx, &dy);
                mouse(step[0] == 'm' ? PlatformEvent::MouseMotion : PlatformEvent::MouseWheel, 0,
                      step[0] == 'm' ? dx : 0, step[0] == 'm' ? dy : 0, step[0] == 'w' ? dx : 0);
            } else if (step == "shift")
                devices->shift = !devices->shift;
            else if (step == "plug" || step == "pad" || step == "unplug" || step == "gone") {
                if (step == "pad")
                    devices->plugPad();
                devices->joystickAttached = step == "plug" || step == "pad";
                if (step != "gone")
                    platform.pushEvent(devices->joystickAttached ? PlatformEvent::DeviceAdded
                                                                 : PlatformEvent::DeviceRemoved);
            } else if (step == "removed")
                platform.pushEvent(PlatformEvent::DeviceRemoved);
            else if (step == "unmapped")
                devices->joystick.mapped = false;
            else if (step == "cursor+" || step == "cursor-")
                platform.showCursor(step == "cursor+");
            else if (step[0] == 'j' || step[0] == 's')
                std::sscanf(rest.c_str(), "%d,%d",
                            step[0] == 'j' ? &devices->joystick.x : &devices->joystick.stickX,
                            step[0] == 'j' ? &devices->joystick.y : &devices->joystick.stickY);
            else if (step[0] == 'b' || step[0] == 'd') {
                bool& down = step[0] == 'b' ? devices->joystick.buttons[std::stoi(rest)]
                                            : devices->joystick.dpad[std::stoi(rest)];
                down = !down;
            } else if (step[0] == 't' && step.rfind("text", 0) == 0) {
                PlatformEvent text;
                text.type = PlatformEvent::TextInput;
                std::snprintf(text.text, sizeof text.text, "%s", step.c_str() + 4);
                platform.pushEvent(text);
            } else if (step[0] == 't')
                platform.setTime(std::stoul(rest));
            else
                ADD_FAILURE() << "unknown step " << step;
            if (step == "." || step == "clear" || step == "new" || step == "keep") {
                out += "  " + steps + " =>" + inputState(input) +
                       (platform.cursorVisible() ? "" : " cursor hidden") + "\n";
                steps.clear();
            }
        }
        return out;
    }
};
