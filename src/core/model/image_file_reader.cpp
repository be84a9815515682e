#include "model/image_file_reader.h"

#include <cerrno>

#include "platform/fs.h"

namespace zerva {
namespace {

unsigned ReadProc(void* buffer, unsigned size, unsigned count, fi_handle handle) {
  return static_cast<unsigned>(std::fread(buffer, size, count, static_cast<std::FILE*>(handle)));
}

unsigned WriteProc(void*, unsigned, unsigned, fi_handle) {
  return 0;  // the library only reads here
}

int SeekProc(fi_handle handle, long offset, int origin) {
  return std::fseek(static_cast<std::FILE*>(handle), offset, origin);
}

long TellProc(fi_handle handle) {
  return std::ftell(static_cast<std::FILE*>(handle));
}

}  // namespace

ImageFileReader::ImageFileReader(const std::string& path) {
  io_.read_proc = ReadProc;
  io_.write_proc = WriteProc;
  io_.seek_proc = SeekProc;
  io_.tell_proc = TellProc;
  file_ = OpenRegularStream(path, "rb");
  if (file_ == nullptr) openError_ = errno;
}

ImageFileReader::~ImageFileReader() {
  if (file_ != nullptr) std::fclose(file_);
}

void ImageFileReader::Rewind() {
  if (file_ != nullptr) std::rewind(file_);
}

FREE_IMAGE_FORMAT ImageFileReader::Format() {
  if (file_ == nullptr) return FIF_UNKNOWN;
  Rewind();
  const FREE_IMAGE_FORMAT format = FreeImage_GetFileTypeFromHandle(&io_, Handle(), 0);
  Rewind();
  return format;
}

std::string ImageFileReader::Head(size_t bytes) {
  std::string head(file_ == nullptr ? 0 : bytes, '\0');
  if (file_ == nullptr) return head;
  Rewind();
  head.resize(std::fread(head.data(), 1, head.size(), file_));
  Rewind();
  return head;
}

FIBITMAP* ImageFileReader::Load(FREE_IMAGE_FORMAT format, int flags) {
  if (file_ == nullptr || format == FIF_UNKNOWN) return nullptr;
  Rewind();
  return FreeImage_LoadFromHandle(format, &io_, Handle(), flags);
}

}  // namespace zerva
