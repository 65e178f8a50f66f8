#include "Renderer/OpenGL/GLTexture.h"

#include "Renderer/OpenGL/GLEntryPoints.h"
#include "Utilities/Graphics/Bitmap.h"
#include "Utilities/Graphics/PixelImage.h"

#include <GL/glu.h>

#include <algorithm>
#include <cstring>
#include <utility>

namespace ZV {

namespace {

constexpr zlong kLargestSide = 16384;

// The largest power of two up to 8 that divides the stride: how OpenGL may read the rows.
GLint RowAlignment(int stride)
{
    GLint alignment = 8;
    while (alignment > 1 && stride % alignment != 0) {
        alignment /= 2;
    }
    return alignment;
}

// One byte a pixel: the zero pixel stays transparent, any other keeps its darkness.
GLPixelImage ToAlpha(const GLPixelImage& image)
{
    GLPixelImage alpha(GL_ALPHA, GL_UNSIGNED_BYTE, 1, image.GetWidth(), image.GetHeight());
    for (int y = 0; y < image.GetHeight(); ++y) {
        const unsigned char* from = image.GetRow(y);
        unsigned char* to = alpha.GetOwnedRow(y);
        for (int x = 0; x < image.GetWidth(); ++x) {
            std::uint32_t pixel = 0;
            std::memcpy(&pixel, from + static_cast<std::ptrdiff_t>(x) * 4, 4);
            const double red = pixel >> 16 & 0xFF;
            const double green = pixel >> 8 & 0xFF;
            const double blue = pixel & 0xFF;
            const int darkness = 255 - static_cast<int>(0.3 * red + 0.59 * green + 0.11 * blue);
            to[x] = pixel == 0 ? 0 : static_cast<unsigned char>(darkness);
        }
    }
    return alpha;
}

// Whether the driver takes a level-0 image of the size.
bool Fits(GLint internalFormat, zlong width, zlong height, GLenum format, GLenum type)
{
    glTexImage2D(GL_PROXY_TEXTURE_2D, 0, internalFormat, static_cast<GLsizei>(width), static_cast<GLsizei>(height), 0,
                 format, type, nullptr);
    GLint takenWidth = 0;
    glGetTexLevelParameteriv(GL_PROXY_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &takenWidth);
    DrainGLErrors();
    return takenWidth != 0;
}

GLPixelImage Scaled(const GLPixelImage& image, int width, int height)
{
    GLPixelImage scaled(image.GetFormat(), image.GetType(), image.GetBytesPerPixel(), width, height);
    glPixelStorei(GL_PACK_ALIGNMENT, RowAlignment(scaled.GetStride()));
    glPixelStorei(GL_UNPACK_ROW_LENGTH, image.GetStride() / image.GetBytesPerPixel());
    glPixelStorei(GL_UNPACK_ALIGNMENT, RowAlignment(image.GetStride()));
    gluScaleImage(image.GetFormat(), image.GetWidth(), image.GetHeight(), image.GetType(), image.GetRow(0), width,
                  height, scaled.GetType(), scaled.GetOwnedRow(0));
    return scaled;
}

// The image at the canvas's origin, its rows whole.
void CopyIntoCorner(const GLPixelImage& image, GLPixelImage& canvas)
{
    const std::size_t rowBytes = static_cast<std::size_t>(image.GetWidth()) * image.GetBytesPerPixel();
    for (int y = 0; y < image.GetHeight(); ++y) {
        std::memcpy(canvas.GetOwnedRow(y), image.GetRow(y), rowBytes);
    }
}

void SetUnpacking(const GLPixelImage& image)
{
    glPixelStorei(GL_UNPACK_ROW_LENGTH, image.GetStride() / image.GetBytesPerPixel());
    glPixelStorei(GL_UNPACK_ALIGNMENT, RowAlignment(image.GetStride()));
}

// Back to the default state: packed rows, one-byte alignment.
void ResetUnpacking()
{
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
}

}  // namespace

zlong NearestPowerOfTwo(zlong n)
{
    if (n < 2) {
        return n == 1 ? 1 : 0;
    }
    zlong power = 2;
    while (power < n && power < kLargestSide) {
        power *= 2;
    }
    return power;
}

GLPixelImage::GLPixelImage(GLenum format, GLenum type, int bytesPerPixel, const void* data, int width, int height,
                           int stride)
    : mFormat(format), mType(type), mBytesPerPixel(bytesPerPixel), mWidth(width), mHeight(height), mStride(stride),
      mData(static_cast<const unsigned char*>(data))
{
}

GLPixelImage::GLPixelImage(GLenum format, GLenum type, int bytesPerPixel, int width, int height)
    : mFormat(format), mType(type), mBytesPerPixel(bytesPerPixel), mWidth(width), mHeight(height),
      mStride(width * bytesPerPixel),
      mOwned(new unsigned char[static_cast<std::size_t>(mStride) * static_cast<std::size_t>(height)]())
{
    mData = mOwned.get();
}

GLPixelImage::GLPixelImage(GLPixelImage&& other) noexcept
{
    *this = std::move(other);
}

GLPixelImage& GLPixelImage::operator=(GLPixelImage&& other) noexcept
{
    if (this != &other) {
        mFormat = other.mFormat;
        mType = other.mType;
        mBytesPerPixel = std::exchange(other.mBytesPerPixel, 0);
        mWidth = std::exchange(other.mWidth, 0);
        mHeight = std::exchange(other.mHeight, 0);
        mStride = std::exchange(other.mStride, 0);
        mData = std::exchange(other.mData, nullptr);
        mOwned = std::move(other.mOwned);
    }
    return *this;
}

LGLTexture::LGLTexture(const RCPtr<LGLObjectBin>& bin) : mBin(bin) {}

LGLTexture::~LGLTexture()
{
    if (mName == 0) {
        return;
    }
    if (mBin.IsNull()) {
        glDeleteTextures(1, &mName);
    } else {
        mBin->AddTexture(mName);
    }
}

void LGLTexture::SetBitmap(const ConstRCPtr<LBitmap>& bitmap)
{
    const PixelImage* image = bitmap.IsNull() ? nullptr : bitmap->GetBitmapData();
    if (image == nullptr) {
        return;
    }
    mBitmap = bitmap;
    mUploadedChangeCount = image->GetChangeCount();
    mOpaque = true;
    for (zlong y = 0; y < image->GetHeight() && mOpaque; ++y) {
        const std::uint32_t* row = image->GetRow(y);
        for (zlong x = 0; x < image->GetWidth(); ++x) {
            if ((row[x] >> 24) != 0xFF) {
                mOpaque = false;
                break;
            }
        }
    }
    Upload(GLPixelImage(GL_BGRA, GL_UNSIGNED_BYTE, 4, image->GetRow(0), static_cast<int>(image->GetWidth()),
                        static_cast<int>(image->GetHeight()), static_cast<int>(image->GetStride())),
           GL_RGBA8, 0);
}

void LGLTexture::Upload(const GLPixelImage& source, GLint internalFormat, int flags)
{
    if (source.GetWidth() <= 0 || source.GetHeight() <= 0) {
        return;
    }
    if (!IsValid()) {
        glGenTextures(1, &mName);
    }
    glBindTexture(GL_TEXTURE_2D, mName);
    GLPixelImage converted;
    const GLPixelImage* image = &source;
    if (internalFormat == GL_ALPHA4 || internalFormat == GL_ALPHA8) {
        converted = ToAlpha(source);
        image = &converted;
    }
    mSourceSize = {image->GetWidth(), image->GetHeight()};
    mImageSize = mSourceSize;

    const bool nearest = (flags & kNearest) != 0;
    const bool mipmaps = (flags & kMipmaps) != 0;
    const GLint minFilter = nearest ? (mipmaps ? GL_NEAREST_MIPMAP_NEAREST : GL_NEAREST)
                                    : (mipmaps ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR);
    // Edges clamp to the image's own pixels, not to a border colour that would darken a stretched image's rim.
    const GLint wrap = (flags & kRepeat) != 0 ? GL_REPEAT : GL_CLAMP_TO_EDGE;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, nearest ? GL_NEAREST : GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
    DrainGLErrors();

    zlong width = NearestPowerOfTwo(image->GetWidth());
    zlong height = NearestPowerOfTwo(image->GetHeight());
    bool reduced = false;
    while (!Fits(internalFormat, width, height, image->GetFormat(), image->GetType()) && (width > 1 || height > 1)) {
        width = std::max<zlong>(1, width / 2);
        height = std::max<zlong>(1, height / 2);
        reduced = true;
    }
    // An image beyond the largest side is scaled down as one the driver refused.
    reduced = reduced || width < image->GetWidth() || height < image->GetHeight();
    mTextureSize = {width, height};
    // The part of the texture that the image leaves free is transparent, so that filtering at the image's edge
    // takes in nothing else.
    const bool padded = width != image->GetWidth() || height != image->GetHeight();
    GLPixelImage canvas = padded ? GLPixelImage(image->GetFormat(), image->GetType(), image->GetBytesPerPixel(),
                                                static_cast<int>(width), static_cast<int>(height))
                                 : GLPixelImage();
    ResetUnpacking();
    glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, static_cast<GLsizei>(width), static_cast<GLsizei>(height), 0,
                 image->GetFormat(), image->GetType(), padded ? canvas.GetRow(0) : nullptr);

    GLPixelImage scaled;
    if ((reduced || (flags & kRepeat) != 0) && padded) {
        scaled = Scaled(*image, static_cast<int>(width), static_cast<int>(height));
        image = &scaled;
        mImageSize = mTextureSize;
    } else if (mipmaps && padded) {
        // The levels are built at the texture's size, or they would replace it with a size of their own choosing.
        CopyIntoCorner(*image, canvas);
        image = &canvas;
    }
    SetUnpacking(*image);
    if (mipmaps) {
        gluBuild2DMipmaps(GL_TEXTURE_2D, internalFormat, image->GetWidth(), image->GetHeight(), image->GetFormat(),
                          image->GetType(), image->GetRow(0));
    } else {
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, image->GetWidth(), image->GetHeight(), image->GetFormat(),
                        image->GetType(), image->GetRow(0));
    }
    ResetUnpacking();
    DrainGLErrors();
}

void LGLTexture::UploadRows(const GLPixelImage& image, int top, int count)
{
    if (!IsValid() || count <= 0) {
        return;
    }
    glBindTexture(GL_TEXTURE_2D, mName);
    SetUnpacking(image);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, top, image.GetWidth(), count, image.GetFormat(), image.GetType(),
                    image.GetRow(top));
    ResetUnpacking();
    DrainGLErrors();
}

void LGLTexture::DrawQuad(const QuadCorners& source, const QuadCorners& destination) const
{
    Bind();
    AddQuad(source, destination);
}

void LGLTexture::Bind() const
{
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, mName);
}

void LGLTexture::AddQuad(const QuadCorners& source, const QuadCorners& destination) const
{
    const PointT<double> topLeft = ToTextureCoordinates(source.left, source.top);
    const PointT<double> bottomRight = ToTextureCoordinates(source.right, source.bottom);
    glBegin(GL_QUADS);
    glTexCoord2d(topLeft.x, topLeft.y);
    glVertex2d(destination.left, destination.top);
    glTexCoord2d(topLeft.x, bottomRight.y);
    glVertex2d(destination.left, destination.bottom);
    glTexCoord2d(bottomRight.x, bottomRight.y);
    glVertex2d(destination.right, destination.bottom);
    glTexCoord2d(bottomRight.x, topLeft.y);
    glVertex2d(destination.right, destination.top);
    glEnd();
}

bool LGLTexture::IsValid() const
{
    return mName != 0 && glIsTexture(mName) == GL_TRUE;
}

PointT<double> LGLTexture::ToTextureCoordinates(double x, double y) const
{
    if (mSourceSize.x <= 0 || mSourceSize.y <= 0 || mTextureSize.x <= 0 || mTextureSize.y <= 0) {
        return {};
    }
    // A scaled image fills the texture: its pixels are the source's times the scale.
    const double scaleX = static_cast<double>(mImageSize.x) / static_cast<double>(mSourceSize.x);
    const double scaleY = static_cast<double>(mImageSize.y) / static_cast<double>(mSourceSize.y);
    return {x * scaleX / static_cast<double>(mTextureSize.x), y * scaleY / static_cast<double>(mTextureSize.y)};
}

}  // namespace ZV
