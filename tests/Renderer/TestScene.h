#pragma once

#include "Renderer/ArgbColours.h"
#include "Renderer/Polyline.h"
#include "Renderer/Renderer.h"
#include "Utilities/Storage/Color.h"

#include <cstdint>
#include <initializer_list>

namespace ZV::Testing {

// The colours of the test scene, as 0xAARRGGBB.
inline constexpr std::uint32_t kSceneBackground = 0xFF202020u;
inline constexpr std::uint32_t kSceneRed = kArgbRed;
inline constexpr std::uint32_t kSceneGreen = kArgbGreen;
inline constexpr std::uint32_t kSceneBlue = kArgbBlue;
inline constexpr std::uint32_t kSceneWhite = 0xFFFFFFFFu;

inline LColor Color(std::uint32_t argb)
{
    return LColor().SetFromARGB(argb);
}

// A path through the points.
PolylineT<float> Path(std::initializer_list<PointT<float>> points);

// Every drawing operation once on an opaque 200 x 150 background, between the renderer's start and finish of a frame:
// the scene each renderer's pixels are checked with.
void DrawTestScene(LRenderer& renderer);

}  // namespace ZV::Testing
