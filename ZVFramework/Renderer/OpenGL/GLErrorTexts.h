#pragma once

#include <string>

namespace ZV {

namespace Platform {
struct GlxFailure;
}  // namespace Platform

// Shows in the platform's message box why OpenGL could not be set up: the framework string table's text for the
// failed step with what the X server said, then the advice on the driver, under the OpenGL error caption. Answers
// the text (UTF-8, without the advice) for the exception that follows.
std::string ShowGLSetupFailure(const Platform::GlxFailure& failure);

// One line on a frame that could not be drawn or shown (UTF-8).
std::string DescribeGLFrameFailure(const Platform::GlxFailure& failure);

}  // namespace ZV
