// Device files: streamed from DeviceDataFolder to the queue as one RAW job.
#include "device/device_link.h"

namespace orlax::device {

int DeviceLink::SendDeviceFile(std::string_view /*name*/) { return JobFailed(); }

}  // namespace orlax::device
