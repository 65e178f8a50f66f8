#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "Renderer/OpenGL/GLObjectBin.h"
#include "Utilities/Storage/PointT.h"

#include <GL/gl.h>

#include <cstdint>
#include <memory>

namespace ZV {

class LBitmap;

// The smallest power of two not below n, at most 16384; 1 for 1 and 0 for anything below.
zlong NearestPowerOfTwo(zlong n);

// Rows of pixels as OpenGL takes them: format, type and bytes per pixel, width, height and the bytes from one row
// to the next. The rows are borrowed or owned; a moved image leaves its source empty.
class GLPixelImage {
public:
    GLPixelImage() = default;
    // Borrows the rows, which must outlive the image.
    GLPixelImage(GLenum format, GLenum type, int bytesPerPixel, const void* data, int width, int height, int stride);
    // Owns zero rows of the size, packed.
    GLPixelImage(GLenum format, GLenum type, int bytesPerPixel, int width, int height);
    GLPixelImage(GLPixelImage&& other) noexcept;
    GLPixelImage& operator=(GLPixelImage&& other) noexcept;

    GLenum GetFormat() const { return mFormat; }
    GLenum GetType() const { return mType; }
    int GetBytesPerPixel() const { return mBytesPerPixel; }
    int GetWidth() const { return mWidth; }
    int GetHeight() const { return mHeight; }
    int GetStride() const { return mStride; }
    const unsigned char* GetRow(int y) const { return mData + static_cast<std::ptrdiff_t>(y) * mStride; }
    // Null for borrowed rows.
    unsigned char* GetOwnedRow(int y) const
    {
        return mOwned ? mOwned.get() + static_cast<std::ptrdiff_t>(y) * mStride : nullptr;
    }

private:
    GLenum mFormat = GL_RGBA;
    GLenum mType = GL_UNSIGNED_BYTE;
    int mBytesPerPixel = 0;
    int mWidth = 0;
    int mHeight = 0;
    int mStride = 0;
    const unsigned char* mData = nullptr;
    std::unique_ptr<unsigned char[]> mOwned;
};

// Corners of a rectangle: left, top, right, bottom.
struct QuadCorners {
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;
};

// A texture of the renderer's context made from a pixel image: a bitmap's pixels or a glyph atlas. It is allocated
// at power-of-two sides, smaller when the driver cannot hold the size (the image is then scaled to fit), with the
// image at its top-left corner. Its name goes to the bin when it is released. The context must be current for
// everything but the accessors.
class LGLTexture : public virtual LRefCountedObject {
public:
    // Upload flags.
    static constexpr int kNearest = 1;
    static constexpr int kRepeat = 2;
    static constexpr int kMipmaps = 4;

    // Without a bin the name is deleted at once when the texture goes, which needs the context current.
    explicit LGLTexture(const RCPtr<LGLObjectBin>& bin);
    ~LGLTexture() override;

    // Uploads every pixel of the image that holds the bitmap's (a sub-bitmap's source image), straight BGRA, sampled
    // at the nearest pixel as the 2D renderer samples images; the texture keeps the bitmap. A bitmap without pixels
    // leaves the texture as it was.
    void SetBitmap(const ConstRCPtr<LBitmap>& bitmap);
    // A new texture image from the image. GL_ALPHA4 and GL_ALPHA8 take 32-bit pixels and keep the darkness of
    // each as its alpha, with the zero pixel transparent.
    void Upload(const GLPixelImage& image, GLint internalFormat, int flags);
    // Replaces rows of what an earlier Upload of an image of the same size put in, without scaling.
    void UploadRows(const GLPixelImage& image, int top, int count);
    // Draws the source rectangle, in the pixels of the image uploaded, onto the destination with the current
    // colour; texturing stays on with this texture.
    void DrawQuad(const QuadCorners& source, const QuadCorners& destination) const;
    // The same for many quads in a row: Bind once, then AddQuad for each.
    void Bind() const;
    void AddQuad(const QuadCorners& source, const QuadCorners& destination) const;

    // Whether the texture has an image in the current context.
    bool IsValid() const;
    // Whether every pixel of the bitmap uploaded is opaque, so that it can be drawn without blending.
    bool IsOpaque() const { return mOpaque; }
    GLuint GetName() const { return mName; }
    // The texture coordinates of a point of the uploaded image.
    PointT<double> ToTextureCoordinates(double x, double y) const;
    // The texture's allocated sides, and the image's inside it (its scaled size when it was scaled).
    const PointT<zlong>& GetTextureSize() const { return mTextureSize; }
    const PointT<zlong>& GetImageSize() const { return mImageSize; }
    const ConstRCPtr<LBitmap>& GetBitmap() const { return mBitmap; }
    // The change count of the bitmap's pixels when they were uploaded.
    std::uint64_t GetUploadedChangeCount() const { return mUploadedChangeCount; }

private:
    RCPtr<LGLObjectBin> mBin;
    GLuint mName = 0;
    PointT<zlong> mTextureSize;
    PointT<zlong> mImageSize;
    // The image's own size, in whose pixels drawing names its source rectangles.
    PointT<zlong> mSourceSize;
    ConstRCPtr<LBitmap> mBitmap;
    std::uint64_t mUploadedChangeCount = 0;
    bool mOpaque = false;
};

}  // namespace ZV
