#pragma once
// The text commands of the control socket, one per line:
//
//   press bank | press lighting | press profile [N] | press tray 6160|6161
//   press code <decimal consumer code>
//   unplug | plug
//   latency <ms>
//   fault none | fault noanswer <count> | fault wrongcode <count>
//   fault status ff <count> | fault status fe <count> | fault unplug-after <count>
//       (noanswer, wrongcode and status take "after <n>": the fault starts
//       once n further commands have gone through)
//   dump | dump raw <area>      (areas: info page0 page1 page2 layout macro lighting zones led)
//   state                       -> ok plugged=<0|1> profile=<n> commands=<answered>
//
// Replies start with "ok" or "error <reason>".

#include <string>
#include <string_view>

namespace tavrik::service {

class VirtualDevice;

std::string runControlCommand(VirtualDevice& keyboard, std::string_view line);

} // namespace tavrik::service
