#include "media/image_messages.h"

#include <FreeImage.h>

#include <cstring>
#include <mutex>

namespace zerva {
namespace {

constexpr size_t kMaxText = 400;

thread_local ImageMessageScope* tCurrentScope = nullptr;

void CollectMessage(FREE_IMAGE_FORMAT /*format*/, const char* text) {
  // Texts written while no scope is open on this thread are of no interest to anyone.
  if (tCurrentScope != nullptr && text != nullptr) tCurrentScope->Add(text);
}

void InstallHandlerOnce() {
  static std::once_flag once;
  std::call_once(once, [] { FreeImage_SetOutputMessage(&CollectMessage); });
}

}  // namespace

ImageMessageScope::ImageMessageScope() : outer_(tCurrentScope) {
  InstallHandlerOnce();
  tCurrentScope = this;
}

ImageMessageScope::~ImageMessageScope() {
  tCurrentScope = outer_;
}

void ImageMessageScope::Add(const char* text) {
  if (std::strstr(text, kJpegPrematureEnd) != nullptr) truncated_ = true;
  if (text_.size() >= kMaxText) return;
  if (!text_.empty()) text_ += "; ";
  text_.append(text, strnlen(text, kMaxText));
  if (text_.size() > kMaxText) text_.resize(kMaxText);
}

}  // namespace zerva
