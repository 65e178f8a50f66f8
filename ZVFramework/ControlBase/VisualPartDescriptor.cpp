#include "ControlBase/VisualPartDescriptor.h"

#include "ControlBase/VisualPart.h"

namespace ZV {

LVisualPartDescriptor::LVisualPartDescriptor(const WideString& name, const ImageSource& image,
                                             std::uint32_t resizeType, const RCPtr<LColorizer>& colorizer,
                                             const PointT<float>& size, float colorizerAlphaMod,
                                             const ImageSource& mask)
    : mName(name),
      mImage(image),
      mSize(image.fileName.IsEmpty()
                ? size
                : PointT<float>(static_cast<float>(image.width), static_cast<float>(image.height))),
      mResizeType(resizeType),
      mColorizer(colorizer),
      mColorizerAlphaMod(colorizerAlphaMod),
      mMask(mask)
{
}

}  // namespace ZV
