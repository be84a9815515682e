// The image library reports why a load or save failed only as texts sent to one process-wide
// handler. A scope collects the texts written on its own thread while it lives, so a failure can
// be explained and a JPEG that ends early can be told apart from a complete one.
#pragma once

#include <string>

namespace zerva {

class ImageMessageScope {
 public:
  ImageMessageScope();
  ~ImageMessageScope();
  ImageMessageScope(const ImageMessageScope&) = delete;
  ImageMessageScope& operator=(const ImageMessageScope&) = delete;

  // The texts joined by "; ", at most a few hundred characters.
  const std::string& Text() const { return text_; }
  // The JPEG decoder ran out of data before the picture was complete (it fills the rest grey).
  bool Truncated() const { return truncated_; }

  void Add(const char* text);

 private:
  ImageMessageScope* outer_;
  std::string text_;
  bool truncated_ = false;
};

// The text libjpeg reports when the data ends before the picture does.
inline constexpr const char* kJpegPrematureEnd = "Premature end of JPEG file";
// Our own words for it in load errors; the upload names the file with them.
inline constexpr const char* kTruncatedPicture = "the file ends before the picture does";

}  // namespace zerva
