// A pad played frame by frame on the headless platform: taps of its buttons
// and directions, plugging it in and pulling it out. Call apply from the
// platform's afterPresent; a change made after frame f is read by the next
// frame, as keys scheduled for frame f are.
#pragma once

#include "gfx/GfxInputDevices.h"
#include "gfx/HeadlessInputDevices.h"
#include "gfx/HeadlessPlatform.h"

#include <functional>
#include <map>
#include <vector>

class PadScript {
public:
    // A control (GfxPadControl) down at the frame and up two frames later.
    void tap(int frame, int control) {
        hold(frame, control, true);
        hold(frame + 2, control, false);
    }
    void hold(int frame, int control, bool down) {
        at(frame, [control, down](HeadlessInputDevices& d) { d.setPadControl(control, down); });
    }
    void plug(int frame, HeadlessPlatform& platform, bool in) {
        at(frame, [&platform, in](HeadlessInputDevices& d) {
            if (in)
                d.plugPad();
            d.joystickAttached = in;
            platform.pushEvent(in ? PlatformEvent::DeviceAdded : PlatformEvent::DeviceRemoved);
        });
    }
    void at(int frame, std::function<void(HeadlessInputDevices&)> change) {
        changes_[frame].push_back(std::move(change));
    }
    void apply(HeadlessPlatform& platform, int frame) {
        const auto due = changes_.find(frame);
        if (due == changes_.end() || !platform.inputDevices())
            return;
        for (auto& change : due->second)
            change(*platform.inputDevices());
    }

private:
    std::map<int, std::vector<std::function<void(HeadlessInputDevices&)>>> changes_;
};
