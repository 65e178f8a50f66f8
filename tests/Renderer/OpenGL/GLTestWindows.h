#pragma once

#include <memory>

namespace ZV::Platform {
class DisplayConnection;
struct NativeWindow;
}  // namespace ZV::Platform

namespace ZV::Testing {

// Mesa unloads its graphics driver when the last connection that used GLX closes, and the blocks that the driver's
// own variables held until then look lost to the leak checker. Kept loaded, they are still held at exit.
void KeepGraphicsDriverLoaded();

// Window records for what the renderer meets besides the plain test window, kept apart from the tests so that they
// need no X header.
class TestWindowRecord {
public:
    // The record of a window that the server had and no longer has.
    static TestWindowRecord Gone(Platform::DisplayConnection& connection);
    // A mapped window of a visual of depth 24 other than the window's; an empty record when the display has no
    // other.
    static TestWindowRecord OfAnotherVisual(const Platform::NativeWindow& like, int width, int height);
    // A mapped window of the visual of a GLX configuration whose swap keeps the back buffer; an empty record when
    // the display has none.
    static TestWindowRecord SwappingByCopy(Platform::DisplayConnection& connection, int width, int height);

    TestWindowRecord(TestWindowRecord&& other) noexcept;
    ~TestWindowRecord();

    bool IsEmpty() const;
    const Platform::NativeWindow& Get() const { return *mRecord; }

private:
    TestWindowRecord(std::unique_ptr<Platform::NativeWindow> record, bool owned);

    std::unique_ptr<Platform::NativeWindow> mRecord;
    bool mOwned;
};

}  // namespace ZV::Testing
