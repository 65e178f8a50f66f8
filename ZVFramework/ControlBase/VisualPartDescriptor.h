#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Graphics/Colorizer.h"
#include "Utilities/Storage/PointT.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace ZV {

class LVisualPart;

// A rectangle of an image: the image's name ("::" and a resource name, or a file path) and where the piece lies in
// it.
struct ImageSource {
    WideString fileName;
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

enum ResizeType : std::uint32_t {
    kResizeStretch = 0,
    kResizeTile = 1,
    kResizeCenter = 2,
};

// A drawable piece of a skin: an image piece, a colorizer's colour, or an image piece tinted by a colorizer through
// a mask. Every look that names it shares it.
class LVisualPartDescriptor : public virtual LRefCountedObject {
public:
    // An image with a file name gives the part its size; without one the part takes the size given.
    LVisualPartDescriptor(const WideString& name, const ImageSource& image, std::uint32_t resizeType,
                          const RCPtr<LColorizer>& colorizer, const PointT<float>& size, float colorizerAlphaMod,
                          const ImageSource& mask);
    ~LVisualPartDescriptor() override;

    const WideString& GetName() const { return mName; }
    const ImageSource& GetImage() const { return mImage; }
    // Width and height.
    const PointT<float>& GetSize() const { return mSize; }
    std::uint32_t GetResizeType() const { return mResizeType; }
    const RCPtr<LColorizer>& GetColorizer() const { return mColorizer; }
    // How much of the colorizer is applied, 1 for all of it.
    float GetColorizerAlphaMod() const { return mColorizerAlphaMod; }
    const ImageSource& GetMask() const { return mMask; }

    // The part this descriptor describes, made on first use and kept while anybody else holds it; null for a
    // descriptor with neither an image that loads nor a colorizer.
    RCPtr<LVisualPart> GetVisualPart();
    // Called by the part as it goes.
    void ForgetVisualPart(const LVisualPart* part);

private:
    WideString mName;
    ImageSource mImage;
    PointT<float> mSize;
    std::uint32_t mResizeType;
    RCPtr<LColorizer> mColorizer;
    float mColorizerAlphaMod;
    ImageSource mMask;
    RCPtr<LVisualPart> mVisualPart;
};

}  // namespace ZV
