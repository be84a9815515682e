// Local picture files handed to the image library through a stream we opened: given a path it
// opens the file itself, and would wait for ever on a FIFO or a device carrying a picture's name.
#pragma once

#include <FreeImage.h>

#include <cstdio>
#include <string>

namespace zerva {

class ImageFileReader {
 public:
  // Opens only a regular file, never blocking; see OpenRegularFile.
  explicit ImageFileReader(const std::string& path);
  ~ImageFileReader();
  ImageFileReader(const ImageFileReader&) = delete;
  ImageFileReader& operator=(const ImageFileReader&) = delete;

  bool IsOpen() const { return file_ != nullptr; }
  // errno of a failed open: EINVAL for something that is not a regular file.
  int OpenError() const { return openError_; }

  // The format the content shows; FIF_UNKNOWN when the library knows none.
  FREE_IMAGE_FORMAT Format();
  // The file's first `bytes` (fewer when it is shorter), for formats the library does not know.
  std::string Head(size_t bytes);
  // The picture from the start of the file; null when the library cannot read it.
  FIBITMAP* Load(FREE_IMAGE_FORMAT format, int flags);

  // For readers that take the library's handle interface themselves (fipImage).
  FreeImageIO* Io() { return &io_; }
  fi_handle Handle() { return static_cast<fi_handle>(file_); }
  void Rewind();

 private:
  std::FILE* file_ = nullptr;
  int openError_ = 0;
  FreeImageIO io_{};
};

}  // namespace zerva
