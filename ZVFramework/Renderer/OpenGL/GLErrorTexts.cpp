#include "Renderer/OpenGL/GLErrorTexts.h"

#include "Platform/GlxContext.h"
#include "Platform/MessageBox.h"
#include "Renderer/RenderingServices.h"
#include "Utilities/Storage/StringT.h"

namespace ZV {

namespace {

struct DefaultText {
    const wchar_t* key;
    const wchar_t* text;
};

// The texts when the framework string table has none: in English, as this platform names things.
const DefaultText kDefaultTexts[] = {
    {L"GL_ERROR_CAPTION", L"OpenGL Error"},
    {L"GL_ERROR_UPDATE_DRIVER",
     L"\n\nOpenGL must work through GLX on this display. Check it with glxinfo, and install or update the graphics "
     L"driver (Mesa) if it does not."},
    {L"GL_ERROR_MESSAGE_CHOOSE_PIXEL_FORMAT",
     L"No GLX framebuffer configuration with double-buffered 8-bit RGBA colour suits the window."},
    {L"GL_ERROR_MESSAGE_SET_PIXEL_FORMAT",
     L"The window cannot be drawn with the chosen GLX framebuffer configuration."},
    {L"GL_ERROR_MESSAGE_CREATE_CONTEXT", L"No OpenGL rendering context could be created through GLX."},
    {L"GL_ERROR_MESSAGE_MAKE_CONTEXT_CURRENT", L"glXMakeCurrent failed with error %d: %s."},
};

WideString GetText(const wchar_t* key)
{
    WideString text;
    if (GetRenderingServices().GetFrameworkString(key, text)) {
        return text;
    }
    for (const DefaultText& entry : kDefaultTexts) {
        if (WideString(entry.key) == key) {
            return entry.text;
        }
    }
    return text;
}

const wchar_t* MessageKey(Platform::GlxFailure::Step step)
{
    switch (step) {
    case Platform::GlxFailure::Step::kPrepareWindow:
        return L"GL_ERROR_MESSAGE_SET_PIXEL_FORMAT";
    case Platform::GlxFailure::Step::kCreateContext:
        return L"GL_ERROR_MESSAGE_CREATE_CONTEXT";
    case Platform::GlxFailure::Step::kMakeCurrent:
        return L"GL_ERROR_MESSAGE_MAKE_CONTEXT_CURRENT";
    default:
        return L"GL_ERROR_MESSAGE_CHOOSE_PIXEL_FORMAT";
    }
}

// The first placeholder of the kind replaced by the value: a translated text is data, never a format string.
void FillIn(WideString& text, const wchar_t* placeholder, const WideString& value)
{
    const int at = text.Find(placeholder);
    if (at >= 0) {
        text = text.Left(static_cast<std::uint32_t>(at)) + value + text.MidToEnd(at + 2);
    }
}

// The step's text; what the X server said fills the placeholders, or follows in brackets when there are none.
WideString DescribeFailure(const Platform::GlxFailure& failure)
{
    WideString text = GetText(MessageKey(failure.step));
    const WideString detail(failure.detail.c_str());
    if (text.Find(L"%s") >= 0) {
        FillIn(text, L"%d", WideString::Format(L"%d", failure.errorCode));
        FillIn(text, L"%s", detail);
    } else if (!detail.IsEmpty()) {
        text += WideString(L" (") + detail + WideString(L")");
    }
    return text;
}

}  // namespace

std::string ShowGLSetupFailure(const Platform::GlxFailure& failure)
{
    const WideString message = DescribeFailure(failure);
    const WideString advice = GetText(L"GL_ERROR_UPDATE_DRIVER");
    Platform::ShowMessageBox(GetText(L"GL_ERROR_CAPTION").ToUTF8().GetData(), (message + advice).ToUTF8().GetData(),
                             Platform::kMessageBoxOk | Platform::kMessageBoxIconWarning);
    return message.ToUTF8().GetData();
}

std::string DescribeGLFrameFailure(const Platform::GlxFailure& failure)
{
    if (failure.step == Platform::GlxFailure::Step::kPresent) {
        return "OpenGL: " + failure.detail;
    }
    return DescribeFailure(failure).ToUTF8().GetData();
}

}  // namespace ZV
