#include "ControlBase/Harness/WindowPaint.h"

#include "ControlBase/ControlTreePaint.h"
#include "ObjectBase/Exception.h"

#include <locale>
#include <sstream>

namespace ZV::Testing {

std::vector<RectT<zlong>> PaintWindow(ControlHarness& harness)
{
    RectList region;
    harness.Window().CollectDirtyRegion(region);
    std::vector<RectT<zlong>> painted;
    for (const RectNode* node = region.GetHead(); node != nullptr; node = node->next) {
        painted.emplace_back(node->left, node->top, node->right - node->left, node->bottom - node->top);
    }
    LRecordingRenderer& renderer = harness.Renderer();
    const RectT<zlong> client = harness.Window().GetScreenBounds();
    RCPtr<LRenderContextInfo> context;
    ZV_THROW_IF_FAILED(renderer.InitRenderContextInfo({0, 0, client.width, client.height}, nullptr, false, context));
    ZV_THROW_IF_FAILED(renderer.RenderStart(context));
    PaintControlTree(renderer, harness.Window().GetRootControl(), region);
    ZV_THROW_IF_FAILED(renderer.RenderFinish(context));
    return painted;
}

std::vector<std::string> DrawsOf(const LRecordingRenderer& renderer)
{
    static const char* const kDrawing[] = {"FillRect", "FrameRect", "DrawText", "DrawBitmap", "DrawOffscreenImage"};
    std::vector<std::string> draws;
    for (const RecordedCall& call : renderer.GetCalls()) {
        const std::string name = call.operation.substr(0, call.operation.find(' '));
        bool drawing = false;
        for (const char* kind : kDrawing) {
            drawing = drawing || name == kind || name == std::string(kind) + "Part";
        }
        if (!drawing) {
            continue;
        }
        std::ostringstream line;
        line.imbue(std::locale::classic());
        line << call.operation << " | clip " << call.deviceClip.x << "," << call.deviceClip.y << ","
             << call.deviceClip.width << "," << call.deviceClip.height << " | origin " << call.origin.x << ","
             << call.origin.y << " | factor " << call.factor;
        draws.push_back(line.str());
    }
    return draws;
}

}  // namespace ZV::Testing
