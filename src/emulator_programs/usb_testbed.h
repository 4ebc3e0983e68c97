// The emulated unit attached as a USB printer in a umockdev test bed: the
// device in the test bed's sysfs (bus 1, address 2) with its descriptors, and
// a handler for the usbdevfs requests that programs started in the test bed
// (under the umockdev preload library) make on its device file: the
// interface and kernel-driver requests, and the URBs of control and bulk
// transfers, answered by UsbUnit. When the unit is unplugged, its device
// leaves the test bed, transfers under way end as on a real unplug and every
// further request fails with ENODEV.
//
// The handler runs on the test bed's worker thread.
#pragma once

#include <memory>
#include <string>

#include "emulator/usb_unit.h"

namespace orlax::emulator::usb {

class UsbTestbed {
public:
    explicit UsbTestbed(UsbUnit& unit);
    ~UsbTestbed();
    UsbTestbed(const UsbTestbed&) = delete;
    UsbTestbed& operator=(const UsbTestbed&) = delete;

    // Whether the device is attached; Error() says why not.
    bool Ok() const;
    const std::string& Error() const;
    // The test bed's folder: UMOCKDEV_DIR for the programs started in it.
    std::string RootDir() const;

    struct State;

private:
    std::unique_ptr<State> state_;
};

}  // namespace orlax::emulator::usb
