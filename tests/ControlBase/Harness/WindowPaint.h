#pragma once

#include "ControlBase/Harness/ControlHarness.h"
#include "Renderer/RecordingRenderer.h"

#include <string>
#include <vector>

namespace ZV::Testing {

// Paints the harness's window as the OS window does once its dirty region waits: takes the region, starts a frame
// of the recording renderer over the client area, draws the control tree and ends the frame. Answers the region
// painted (x, y, width, height); the renderer's log holds the calls.
std::vector<RectT<zlong>> PaintWindow(ControlHarness& harness);

// The drawing calls of the renderer's log, each with the state it drew in: "operation | clip x,y,w,h | origin x,y |
// factor f", the clip on the device.
std::vector<std::string> DrawsOf(const LRecordingRenderer& renderer);

}  // namespace ZV::Testing
