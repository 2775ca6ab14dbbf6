#include "app/core/JobList.h"

#include <algorithm>
#include <vector>

#include "app/core/DeviceType.h"
#include "model/Xmt.h"

void TJobList::Start(std::int32_t code) {
  LastJob = code;
  JobIndex = 0;
  List[0] = code;
  List[1] = Job::EndOfSequence;
  List[2] = 0;
  Busy = true;
}

void TJobList::Insert(std::int32_t code) {
  if (JobIndex > 0) {
    --JobIndex;
  } else {
    int end = 1;
    while (end < Slots && List[static_cast<std::size_t>(end)] != 0) ++end;
    if (end >= Slots - 1) return;  // the 0 would leave the list
    for (int i = end; i >= 0; --i) List[static_cast<std::size_t>(i + 1)] = List[static_cast<std::size_t>(i)];
    JobIndex = 0;
  }
  LastJob = code;
  List[static_cast<std::size_t>(JobIndex)] = code;
}

int TJobList::Append(std::int32_t code, int index) {
  if (index < 0 || index > Slots - 2) return index;
  List[static_cast<std::size_t>(index)] = code;
  List[static_cast<std::size_t>(index + 1)] = 0;
  return index + 1;
}

void TJobList::StartList(std::initializer_list<std::int32_t> jobs) {
  LastJob = jobs.size() > 0 ? *jobs.begin() : 0;
  JobIndex = 0;
  int i = 0;
  for (std::int32_t code : jobs) i = Append(code, i);
  if (jobs.size() == 0) List[0] = 0;
  Busy = true;
}

void TJobList::SetIdle() {
  JobIndex = 0;
  List[0] = 0;
  List[1] = 0;
}

std::int32_t TJobList::At(int slot) const {
  return slot >= 0 && slot < Slots ? List[static_cast<std::size_t>(slot)] : 0;
}

void TJobList::Set(int slot, std::int32_t code) {
  if (slot >= 0 && slot < Slots) List[static_cast<std::size_t>(slot)] = code;
}

int TJobList::Length() const {
  int n = 0;
  while (n < Slots && List[static_cast<std::size_t>(n)] != 0) ++n;
  return n;
}

void TJobList::StartMeasurePolling() {
  JobIndex = 0;
  List[0] = 1;
  List[1] = 0;
}

void TJobList::StartInfoRead(std::uint32_t capabilities) {
  LastJob = 201;
  JobIndex = 0;
  int i = 0;
  for (std::int32_t code : {201, 200, 204, 203, 202, 205, 206, 213, 500}) {
    if ((code != 205 && code != 206) || IsJobSupported(capabilities, code)) i = Append(code, i);
  }
  Busy = true;
}

void TJobList::StartFullRead(std::uint32_t capabilities) {
  LastJob = 201;
  JobIndex = 0;
  int i = 0;
  for (std::int32_t code : {201, 200, 204, 222, 203, 202, 205, 206, 208, 209, 219, 213, 220, 221, 223}) {
    if (IsJobSupported(capabilities, code)) i = Append(code, i);
  }
  Append(Job::EndOfSequence, i);
  Busy = true;
}

namespace {

// The jobs of each capability bit.
struct TCapabilityGroup {
  std::uint32_t Bit;
  std::vector<std::int32_t> Jobs;
};

const TCapabilityGroup CapabilityJobTable[] = {
    {0x001, {200, 307, 201, 303, 203, 302, 204, 305, 300, 202, 301, 304, 306}},
    {0x002, {205, 308, 206, 315, 314, 210, 207, 214, 215, 318}},
    {0x004, {208, 313, 209, 309, 310, 311, 312}},
    {0x008, {212, 316}},
    {0x010, {213, 317}},
    {0x020, {219, 319}},
    {0x040, {220, 320, 221, 321}},
    {0x080, {222, 322}},
    {0x100, {223, 323, 224}},
};

}  // namespace

std::uint32_t JobCapabilities(const TXmt& xmt) {
  std::uint32_t flags = 0x001;
  if (!xmt.Is_Ostrel) return flags;
  flags |= 0x002;
  const unsigned t = xmt.DeviceType;
  const unsigned k = DeviceInputKind(xmt.DeviceType);
  const unsigned series = DeviceSeries(xmt.DeviceType);
  switch (k) {
    case 0: flags |= 0x014; break;
    case 1: if (series != 0) flags |= 0x010; break;
    case 2:
      flags |= 0x004;
      if (t & 0x30) flags |= 0x020;
      break;
    default: flags |= 0x010; break;
  }
  switch (series) {
    case 0: flags |= 0x008; break;
    case 2:
      flags |= 0x040;
      if (k == 2) flags |= 0x0A0;
      break;
    case 4:
      flags |= 0x0C0;
      if (k == 1) flags |= 0x010;
      break;
    case 5:
      if (t & 1) flags |= 0x0C0;
      break;
    default: break;
  }
  if (t == 0x9A || t == 0xDA) flags |= 0x120;
  if (t == 0x4B || t == 0xCB) flags |= 0x1E0;
  return flags;
}

bool IsJobSupported(std::uint32_t capabilities, std::int32_t code) {
  return std::any_of(std::begin(CapabilityJobTable), std::end(CapabilityJobTable), [&](const TCapabilityGroup& g) {
    return (capabilities & g.Bit) != 0 && std::find(g.Jobs.begin(), g.Jobs.end(), code) != g.Jobs.end();
  });
}

bool IsJobSupported(const TXmt& xmt, std::int32_t code) { return IsJobSupported(JobCapabilities(xmt), code); }
