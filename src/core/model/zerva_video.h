// The video record embedded in a video item: what the probe learned about the source file, the
// conversion targets, and the user's trim points and thumbnail position. It is stored as the
// item's <video> element. Probing and conversion are done by the media layer.
#pragma once

#include <string>
#include <string_view>

namespace zerva {

class CZervaVideo {
 public:
  virtual ~CZervaVideo() = default;

  std::string sourcePath;
  std::string vcodec;     // target encoder, "libx264" once probed
  std::string vcodecSrc;  // as reported: h264, mpeg4 ...
  std::string colorSpace;
  double duration = 0.0;  // seconds kept: end - begin after a trim change
  double durationSrc = 0.0;
  double begin = 0.0;
  double end = 0.0;
  double thumbpos = 0.0;
  double par = 1.0;  // pixel aspect ratio of the probe; not stored
  int widthSrc = 0;
  int heightSrc = 0;
  int framerate = 0;
  int framerateSrc = 0;
  int vbitrate = 0;  // kb/s of the converted file
  int vbitrateSrc = 0;
  std::string acodec;  // target encoder, "libvo_aacenc" once probed
  std::string acodecSrc;
  int asamplingRate = 0;  // 0: the video has no audio
  int asamplingRateSrc = 0;
  std::string achannel;
  std::string sampleFormat;  // not stored
  int abitrate = 0;
  int abitrateSrc = 0;
  std::string dateTime;          // creation time of the source, "%Y-%m-%d %H:%M:%S" local
  bool videoChanged = false;     // convert and upload again
  bool thumbPosChanged = false;  // only the thumbnail position changed since the upload

  // Trim changes keep duration = end - begin.
  void SetBegin(double t);
  void SetEnd(double t);
  void SetThumbPos(double t);

  // "<video> <dateTime>..</dateTime> ... </video>\n"; the audio elements only with audio.
  std::string WriteVideoXml() const;
  // Reads the elements of a <video> element (or of its content). par and sampleFormat are not
  // stored and keep their values.
  void ReadVideoXml(std::string_view text);

  // dateTime = the source's creation time, or the current time when it cannot be read.
  void RefreshDateTime();
  // True unless the source's creation time can be read and equals dateTime.
  bool SourceChanged() const;
};

}  // namespace zerva
