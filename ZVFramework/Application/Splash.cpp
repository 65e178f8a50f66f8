#include "Application/Splash.h"

#include "ControlBase/DebugLine.h"
#include "Utilities/Graphics/Bitmap.h"
#include "Utilities/Graphics/PixelImage.h"

namespace ZV {

LSplash::LSplash(Platform::SplashClock clock) : mClock(std::move(clock)) {}

LSplash::~LSplash()
{
    Stop();
}

void LSplash::SetImage(const ConstRCPtr<LBitmap>& bitmap)
{
    const PixelImage* image = bitmap ? bitmap->GetBitmapData() : nullptr;
    if (mPicture || image == nullptr) {
        return;
    }
    // The splash's thread draws from its own copy: bitmaps belong to this thread.
    const RectT<zlong>& part = bitmap->GetPart();
    Platform::SplashPicture picture{static_cast<int>(part.width), static_cast<int>(part.height), {}};
    picture.pixels.reserve(static_cast<std::size_t>(part.width) * static_cast<std::size_t>(part.height));
    for (zlong y = part.y; y < part.y + part.height; ++y) {
        const std::uint32_t* row = image->GetRow(y) + part.x;
        picture.pixels.insert(picture.pixels.end(), row, row + part.width);
    }
    mPicture = std::move(picture);
}

void LSplash::SplashThread()
{
    if (mWindow || !mPicture) {
        return;
    }
    auto window = std::make_unique<Platform::SplashWindow>(*mPicture, std::string(mTitle.ToUTF8().GetData()), mClock);
    if (!window->Open(kStartWaitMilliseconds)) {
        WriteDebugLine("Error starting SplashThread");
        return;
    }
    mWindow = std::move(window);
}

void LSplash::StartProgress(std::int32_t from, std::int32_t to, std::int32_t seconds)
{
    if (mWindow) {
        mWindow->StartProgress(from, to, seconds);
    }
}

void LSplash::SetProgress(std::int32_t position)
{
    if (mWindow) {
        mWindow->SetPosition(position);
    }
}

void LSplash::Stop()
{
    mWindow = nullptr;
    mPicture.reset();
    mTitle = WideString();
}

}  // namespace ZV
