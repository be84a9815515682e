#include "ui/item_count_text.h"

#include "lang/text.h"

namespace zerva {
namespace {

std::string Counted(int count, const std::string& one, const std::string& few,
                    const std::string& many) {
  const std::string& word = count == 1 ? one : (count >= 2 && count <= 4 ? few : many);
  return std::to_string(count) + " " + word;
}

}  // namespace

std::string ItemCountText(int photos, int videos) {
  std::string text =
      Counted(photos, Text("PhotoCountTool1o"), Text("PhotoCountTool2"), Text("PhotoCountTool"));
  if (videos > 0) {
    text +=
        " " + Text("And") + " " +
        Counted(videos, Text("VideoCountTool1"), Text("VideoCountTool2"), Text("VideoCountTool"));
  }
  return text;
}

}  // namespace zerva
