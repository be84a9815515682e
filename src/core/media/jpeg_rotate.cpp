#include "media/jpeg_rotate.h"

#include <sys/stat.h>
#include <turbojpeg.h>

#include "media/image_load.h"
#include "media/image_messages.h"
#include "platform/fs.h"

namespace zerva {
namespace {

class Transformer {
 public:
  Transformer() : handle_(tjInitTransform()) {}
  ~Transformer() {
    if (output_ != nullptr) tjFree(output_);
    if (handle_ != nullptr) tjDestroy(handle_);
  }
  Transformer(const Transformer&) = delete;
  Transformer& operator=(const Transformer&) = delete;

  // Empty when it worked, else why not.
  std::string Run(const std::string& data, int operation) {
    if (handle_ == nullptr) return "the JPEG library cannot start";
    tjtransform transform{};
    transform.op = operation;  // no PERFECT: untransformable edge blocks are allowed
    const int status = tjTransform(handle_, reinterpret_cast<const unsigned char*>(data.data()),
                                   static_cast<unsigned long>(data.size()), 1, &output_,
                                   &outputSize_, &transform, TJFLAG_LIMITSCANS);
    if (status != 0) {
      const std::string text = tjGetErrorStr2(handle_);
      if (tjGetErrorCode(handle_) != TJERR_WARNING) return text;
      if (text.find(kJpegPrematureEnd) != std::string::npos) {
        return kTruncatedPicture;
      }
    }
    if (output_ == nullptr || outputSize_ == 0) return "the JPEG library produced nothing";
    return {};
  }

  std::string Output() const {
    return std::string(reinterpret_cast<const char*>(output_), outputSize_);
  }

 private:
  tjhandle handle_;
  unsigned char* output_ = nullptr;
  unsigned long outputSize_ = 0;
};

}  // namespace

bool RotateJpegFile(const std::string& path, int degrees, std::string* error) {
  auto fail = [&](const std::string& reason) {
    if (error != nullptr) *error = "RotateJpegFile " + path + ": " + reason;
    return false;
  };
  if (degrees == 0) return true;
  int operation = 0;
  switch (degrees) {
    case 90:
      operation = TJXOP_ROT90;
      break;
    case 180:
      operation = TJXOP_ROT180;
      break;
    case 270:
      operation = TJXOP_ROT270;
      break;
    default:
      return fail("only 90, 180 and 270 degrees can be turned, not " + std::to_string(degrees));
  }
  struct stat info;
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return fail("no such file");
  std::string data;
  if (!ReadFileBounded(path, kMaxImageFileBytes, &data)) return fail("the file cannot be read");
  Transformer transformer;
  const std::string why = transformer.Run(data, operation);
  if (!why.empty()) return fail(why);
  if (!WriteFileAtomic(path, transformer.Output(), info.st_mode & 07777)) {
    return fail("the turned file cannot be written");
  }
  return true;
}

}  // namespace zerva
