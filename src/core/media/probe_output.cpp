#include "media/probe_output.h"

#include <climits>
#include <cmath>
#include <string>
#include <vector>

#include "model/number_text.h"
#include "model/zerva_video.h"

namespace zerva {
namespace {

constexpr std::string_view kTimeChars = ".:0123456789";
// Word slots of the Video line: codec and pixel format, then the words after the frame size.
constexpr size_t kLongWordChars = 63;
constexpr size_t kShortWordChars = 19;
constexpr size_t kFurtherWords = 20;
constexpr size_t kAudioPieces = 5;

// Markers count only after the first byte; ffmpeg's output never starts with one.
size_t FindMarker(std::string_view text, std::string_view marker) {
  const size_t pos = text.find(marker);
  return pos == std::string_view::npos || pos == 0 ? std::string_view::npos : pos;
}

// From the marker to the end of its line; empty when the marker is missing.
std::string_view LineAt(std::string_view text, size_t pos) {
  if (pos == std::string_view::npos) return {};
  const size_t end = text.find_first_of("\r\n", pos);
  return text.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos);
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// The leading integer (blanks, sign, digits), held within int; 0 when there is none.
int LeadingInt(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = std::min<long long>(value * 10 + (text[i] - '0'), 1LL + INT_MAX);
  }
  if (negative) value = -value;
  return static_cast<int>(std::max<long long>(INT_MIN, std::min<long long>(INT_MAX, value)));
}

int RoundHalfUp(double value) {
  const double rounded = std::floor(value + 0.5);
  if (!(rounded < static_cast<double>(INT_MAX))) return INT_MAX;
  if (!(rounded > static_cast<double>(INT_MIN))) return INT_MIN;
  return static_cast<int>(rounded);
}

// The token after `key`: from the first character of ".:0123456789" to the first one outside.
std::string_view TokenAfter(std::string_view line, std::string_view key) {
  const size_t pos = line.find(key);
  if (pos == std::string_view::npos) return {};
  const size_t start = line.find_first_of(kTimeChars, pos + key.size());
  if (start == std::string_view::npos) return {};
  const size_t end = line.find_first_not_of(kTimeChars, start);
  return line.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
}

// "HH:MM:SS.ss" or a plain number of seconds.
double Seconds(std::string_view token) {
  if (token.size() > 5 && token[2] == ':' && token.find(':', 3) == 5) {
    return LeadingInt(token.substr(0, 2)) * 3600.0 + LeadingInt(token.substr(3, 2)) * 60.0 +
           LeadingDecimal(token.substr(6));
  }
  return LeadingDecimal(token);
}

// Removes every "(...)" from the line, leaving it from an opening parenthesis that has no
// closing one.
std::string WithoutParentheses(std::string_view line) {
  std::string out;
  size_t i = 0;
  while (i < line.size()) {
    const size_t open = line.find('(', i);
    const size_t close = open == std::string_view::npos ? open : line.find(')', open);
    if (open == std::string_view::npos || open == 0 || close == std::string_view::npos) break;
    out.append(line.substr(i, open - i));
    i = close + 1;
  }
  if (i < line.size()) out.append(line.substr(i));
  return out;
}

// The pixel aspect ratio of a bracket segment such as "[SAR 16:15 DAR 4:3" (without its "]");
// 0 when it has none.
double SegmentRatio(std::string_view segment) {
  size_t marker = segment.find("PAR ");
  if (marker == std::string_view::npos) marker = segment.find("SAR ");
  const size_t colon = segment.find(':');
  if (marker == std::string_view::npos || colon == std::string_view::npos || marker >= colon) {
    return 0.0;
  }
  const size_t blank = segment.find(' ', colon + 1);
  if (blank == std::string_view::npos) return 0.0;
  const int numerator = LeadingInt(segment.substr(marker + 4, colon - marker - 4));
  const int denominator = LeadingInt(segment.substr(colon + 1, blank - colon - 1));
  if (numerator <= 0 || denominator <= 0) return 0.0;
  return static_cast<double>(numerator) / denominator;
}

// Removes every "[...]" like the parentheses, reading the pixel aspect ratio of the segments
// longer than 10 characters on the way; the last one that gives a ratio wins.
std::string WithoutBrackets(std::string_view line, double* ratio) {
  std::string out;
  size_t i = 0;
  while (i < line.size()) {
    const size_t open = line.find('[', i);
    const size_t close = open == std::string_view::npos ? open : line.find(']', open);
    if (open == std::string_view::npos || open == 0 || close == std::string_view::npos) break;
    if (close - open > 10) {
      const double found = SegmentRatio(line.substr(open, close - open));
      if (found > 0.0) *ratio = found;
    }
    out.append(line.substr(i, open - i));
    i = close + 1;
  }
  if (i < line.size()) out.append(line.substr(i));
  return out;
}

std::vector<std::string_view> Words(std::string_view text) {
  std::vector<std::string_view> words;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && IsBlank(text[i])) ++i;
    const size_t start = i;
    while (i < text.size() && !IsBlank(text[i])) ++i;
    if (i > start) words.push_back(text.substr(start, i - start));
  }
  return words;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// A whole "<width>x<height>" word.
bool ReadFrameSize(std::string_view word, int* width, int* height) {
  const size_t x = word.find('x');
  if (x == std::string_view::npos) return false;
  auto isNumber = [](std::string_view part) {
    if (!part.empty() && (part[0] == '+' || part[0] == '-')) part.remove_prefix(1);
    if (part.empty()) return false;
    for (char c : part) {
      if (!IsDigit(c)) return false;
    }
    return true;
  };
  if (!isNumber(word.substr(0, x)) || !isNumber(word.substr(x + 1))) return false;
  *width = LeadingInt(word.substr(0, x));
  *height = LeadingInt(word.substr(x + 1));
  return true;
}

// The number before "tbr" or "kb/s": rounded when it has a decimal point.
int WordValue(std::string_view word) {
  if (word.find('.') != std::string_view::npos) return RoundHalfUp(LeadingDecimal(word));
  return LeadingInt(word);
}

void ReadVideoLine(std::string_view line, CZervaVideo* video) {
  std::string cleaned = WithoutParentheses(line);
  for (char& c : cleaned) {
    if (c == ',') c = ' ';
  }
  double ratio = 0.0;
  cleaned = WithoutBrackets(cleaned, &ratio);

  const std::vector<std::string_view> words = Words(cleaned);
  std::string_view lead[3];
  size_t leadRead = 0;
  while (leadRead < 3 && leadRead < words.size() && words[leadRead].size() <= kLongWordChars) {
    lead[leadRead] = words[leadRead];
    ++leadRead;
  }
  int width = 0;
  int height = 0;
  std::vector<std::string_view> further;
  if (leadRead == 3 && words.size() > 3 && ReadFrameSize(words[3], &width, &height)) {
    for (size_t i = 4; i < words.size() && further.size() < kFurtherWords; ++i) {
      if (words[i].size() > kShortWordChars) break;
      further.push_back(words[i]);
    }
  }

  int framerate = 0;
  for (size_t i = 1; i < further.size(); ++i) {
    if (further[i] != "tbr" && further[i] != "kb/s") continue;
    const int value = WordValue(further[i - 1]);
    if (value < 1) continue;
    if (further[i] == "kb/s") {
      video->vbitrateSrc = value;
    } else {
      framerate = value;
    }
  }

  video->vcodecSrc = std::string(lead[1]);
  video->colorSpace = std::string(lead[2]);
  video->widthSrc = width;
  video->heightSrc = height;
  video->framerateSrc = framerate > 0 ? framerate : 25;
  if (ratio > 0.0) video->par = ratio;
}

void ReadAudioLine(std::string_view line, CZervaVideo* video) {
  // Without audio the old source facts must not linger in a record probed again.
  video->acodecSrc.clear();
  video->asamplingRateSrc = 0;
  video->achannel.clear();
  video->sampleFormat.clear();
  video->abitrateSrc = 0;
  if (line.empty()) return;

  std::string_view rest = line.substr(std::string_view("Audio:").size());
  size_t position = 0;
  while (position < kAudioPieces) {
    const size_t comma = rest.find(',');
    std::string_view piece = rest.substr(0, comma);
    while (!piece.empty() && (piece[0] == ' ' || piece[0] == '\t')) piece.remove_prefix(1);
    const std::vector<std::string_view> words = Words(piece);
    if (!words.empty() && words[0].size() <= kLongWordChars) {
      switch (position) {
        case 0:
          video->acodecSrc = std::string(words[0]);
          break;
        case 1:
          video->asamplingRateSrc = LeadingInt(words[0]);
          break;
        case 2:
          video->achannel = std::string(piece);
          break;
        case 3:
          video->sampleFormat = std::string(piece);
          break;
        case 4:
          video->abitrateSrc = LeadingInt(words[0]);
          break;
      }
    }
    if (comma == std::string_view::npos) break;  // the last piece, before the added ","
    rest.remove_prefix(comma + 1);
    ++position;
  }
}

}  // namespace

bool ProbeOutputAccepted(std::string_view output) {
  if (FindMarker(output, "Duration: N/A") != std::string_view::npos) return false;
  if (FindMarker(output, "bitrate: N/A") != std::string_view::npos) return false;
  const size_t input = FindMarker(output, "Input #0");
  const size_t duration = FindMarker(output, "Duration:");
  const size_t video = FindMarker(output, "Video:");
  return input != std::string_view::npos && duration != std::string_view::npos &&
         video != std::string_view::npos && input < duration && duration < video;
}

bool ParseProbeOutput(std::string_view output, CZervaVideo* video) {
  if (!ProbeOutputAccepted(output)) return false;
  const std::string_view durationLine = LineAt(output, FindMarker(output, "Duration:"));
  const std::string_view videoLine = LineAt(output, FindMarker(output, "Video:"));
  const std::string_view audioLine = LineAt(output, FindMarker(output, "Audio:"));

  video->durationSrc = Seconds(TokenAfter(durationLine, "Duration:"));
  video->begin = Seconds(TokenAfter(durationLine, "start:"));
  video->vbitrateSrc = LeadingInt(TokenAfter(durationLine, "bitrate:"));
  ReadVideoLine(videoLine, video);
  ReadAudioLine(audioLine, video);
  return true;
}

}  // namespace zerva
