#include "app/usage_stats.h"

#include <cstdio>

#include "app/elements.h"
#include "platform/os_info.h"
#include "platform/system_info.h"

namespace zerva {
namespace {

std::string Hex(unsigned value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", value);
  return text;
}

int64_t Speed(double amount, double seconds) {
  if (seconds <= 0 || amount <= 0) return 0;
  return static_cast<int64_t>(amount / seconds);
}

}  // namespace

void UsageStatistics::RecordTransfer(bool upload, double kilobits, double seconds) {
  if (kilobits <= 0) return;
  std::lock_guard<std::mutex> lock(mutex_);
  (upload ? upAmount_ : downAmount_) += kilobits;
  (upload ? upSeconds_ : downSeconds_) += seconds;
}

void UsageStatistics::RecordTransferBytes(bool upload, int64_t bytes, int64_t milliseconds) {
  RecordTransfer(upload, static_cast<double>(bytes) / 128.0,
                 static_cast<double>(milliseconds) / 1000.0);
}

void UsageStatistics::SetEchoTime(int64_t milliseconds) {
  std::lock_guard<std::mutex> lock(mutex_);
  echoMs_ = milliseconds;
}

void UsageStatistics::RegisterButtons(const std::vector<int>& ids) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (const int id : ids) clicks_.emplace(id, 0);
}

void UsageStatistics::Click(int id) {
  std::lock_guard<std::mutex> lock(mutex_);
  ++clicks_[id];
}

int64_t UsageStatistics::UploadSpeed() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return Speed(upAmount_, upSeconds_);
}

int64_t UsageStatistics::DownloadSpeed() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return Speed(downAmount_, downSeconds_);
}

std::map<int, int> UsageStatistics::Clicks() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return clicks_;
}

std::string UsageStatistics::BuildStatistics() const {
  const ProcessorInfo cpu = ReadProcessorInfo();
  std::string system = MakeElement("dwNumberOfProcessors", cpu.count);
  system += MakeElement("wProcessorArchitecture", Hex(cpu.architecture));
  system += MakeElement("dwProcessorType", Hex(cpu.type));
  system += MakeElement("wProcessorLevel", Hex(cpu.level));
  system += MakeElement("wProcessorRevision", Hex(cpu.revision));
  if (cpu.mhz) system += MakeElement("cpuMHz", *cpu.mhz);
  // "FeatureSet" and "Platform ID" have no Linux source and are left out, as when absent.
  if (!cpu.identifier.empty()) system += MakeElement("cpuIdentifier", cpu.identifier);
  if (!cpu.name.empty()) system += MakeElement("cpuName", cpu.name);
  if (!cpu.vendor.empty()) system += MakeElement("cpuVendor", cpu.vendor);
  system += MakeElement("physicalMemoryMB", PhysicalMemoryMiB());

  std::string clicks;
  int64_t echo = 0;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& [id, count] : clicks_) {
      clicks += MakeElement("click", MakeElement("btn", id) + MakeElement("count", count));
    }
    echo = echoMs_;
  }
  std::string text = MakeElement("osVersion", OsVersionString());
  text += MakeElement("systemInfo", system);
  // No .NET or Java runtime probes exist on Linux: the elements stay empty.
  text += MakeElement("netFramework", "");
  text += MakeElement("jre", "");
  text += MakeElement("isAdmin", IsAdministrator() ? 1 : 0);
  text += MakeElement("speedUp", UploadSpeed());
  text += MakeElement("speedDown", DownloadSpeed());
  text += MakeElement("echoTime", echo);
  text += MakeElement("clicks", clicks);
  return text;
}

UsageStatistics& AppStatistics() {
  static UsageStatistics* statistics = new UsageStatistics;
  return *statistics;
}

}  // namespace zerva
