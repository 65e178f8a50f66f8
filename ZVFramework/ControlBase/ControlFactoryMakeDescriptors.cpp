#include "ControlBase/ControlFactory.h"

namespace ZV {

RCPtr<LControlDescriptor> LControlFactory::MakeControlDescriptor(const WideString& className, const WideString& name,
                                                                 LControlDescriptor* parent)
{
    return RCPtr<LControlDescriptor>(new LControlDescriptor(className, name, parent));
}

RCPtr<LLayoutDescriptor> LControlFactory::MakeLayoutDescriptor()
{
    return RCPtr<LLayoutDescriptor>(new LLayoutDescriptor());
}

RCPtr<LSkinDescriptor> LControlFactory::MakeSkinDescriptor(const WideString& name)
{
    return RCPtr<LSkinDescriptor>(new LSkinDescriptor(name));
}

RCPtr<LLookDescriptor> LControlFactory::MakeLookDescriptor(const WideString& name)
{
    return RCPtr<LLookDescriptor>(new LLookDescriptor(name));
}

RCPtr<LDockedPart> LControlFactory::MakeDockedPart(const RCPtr<LVisualPartDescriptor>& part,
                                                   const DockingRecord& docking)
{
    return RCPtr<LDockedPart>(new LDockedPart(part, docking));
}

RCPtr<LColorizer> LControlFactory::MakeColorizer(const WideString& name, std::int32_t colorType, const LColor& color,
                                                 const LColor& endColor, const GradientGeometry& gradient)
{
    return RCPtr<LColorizer>(new LColorizer(name, colorType, color, endColor, gradient));
}

RCPtr<LLookList> LControlFactory::MakeLookList(std::uint32_t count)
{
    return RCPtr<LLookList>(new LLookList(count));
}

RCPtr<LVisualPartDescriptor> LControlFactory::MakeImagePart(const WideString& name, const ImageSource& image,
                                                            std::uint32_t resizeType,
                                                            const RCPtr<LColorizer>& colorizer,
                                                            float colorizerAlphaMod, const ImageSource& mask)
{
    if (image.fileName.IsEmpty()) {
        return nullptr;
    }
    return RCPtr<LVisualPartDescriptor>(
        new LVisualPartDescriptor(name, image, resizeType, colorizer, PointT<float>(), colorizerAlphaMod, mask),
        kNewObject);
}

RCPtr<LVisualPartDescriptor> LControlFactory::MakeColorPart(const WideString& name, std::uint32_t resizeType,
                                                            const RCPtr<LColorizer>& colorizer,
                                                            const PointT<float>& size, float colorizerAlphaMod,
                                                            const ImageSource& mask)
{
    if (!colorizer) {
        return nullptr;
    }
    return RCPtr<LVisualPartDescriptor>(
        new LVisualPartDescriptor(name, ImageSource(), resizeType, colorizer, size, colorizerAlphaMod, mask),
        kNewObject);
}

}  // namespace ZV
