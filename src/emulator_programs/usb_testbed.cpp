#include "emulator_programs/usb_testbed.h"

#include <linux/usbdevice_fs.h>
#include <sys/ioctl.h>
#include <umockdev.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <list>
#include <sstream>

#include "emulator/usb_descriptors.h"
#include "util/hex.h"

namespace orlax::emulator::usb {
namespace {

constexpr const char* kDeviceNode = "/dev/bus/usb/001/002";
constexpr const char* kSysPath = "/sys/devices/usb1/1-1";
constexpr std::size_t kSetupSize = 8;
// How often the unit's time moves on and closed device files are looked for.
constexpr guint kTickMs = 100;
constexpr unsigned kDirectionIn = 0x80;
constexpr unsigned kCapabilities = USBDEVFS_CAP_ZERO_PACKET | USBDEVFS_CAP_BULK_CONTINUATION |
                                   USBDEVFS_CAP_NO_PACKET_SIZE_LIM | USBDEVFS_CAP_REAP_AFTER_DISCONNECT;

// The device as umockdev-record would write it: the root hub's child 1-1 on
// bus 1, address 2, with its descriptors.
std::string DeviceRecord(const std::string& serial) {
    std::vector<std::uint8_t> descriptors = DeviceDescriptor();
    const std::vector<std::uint8_t> config = ConfigurationDescriptor();
    descriptors.insert(descriptors.end(), config.begin(), config.end());
    std::ostringstream record;
    record << "P: /devices/usb1/1-1\n"
           << "N: bus/usb/001/002\n"
           << "E: SUBSYSTEM=usb\n"
           << "E: DEVTYPE=usb_device\n"
           << "E: DEVNAME=" << kDeviceNode << "\n"
           << "E: BUSNUM=001\nE: DEVNUM=002\n"
           << "E: PRODUCT=1209/1/100\nE: TYPE=0/0/0\n"
           << "A: busnum=1\\n\nA: devnum=2\\n\nA: speed=480\\n\n"
           << "A: bConfigurationValue=" << int{kConfigurationValue} << "\\n\n"
           << "A: bNumConfigurations=1\\n\nA: bNumInterfaces= 1\\n\n"
           << "A: idVendor=1209\\n\nA: idProduct=0001\\n\n"
           << "A: manufacturer=" << kManufacturer << "\\n\n"
           << "A: product=" << kProduct << "\\n\n"
           << "A: serial=" << serial << "\\n\n"
           << "H: descriptors=" << util::Hex(descriptors, util::HexCase::Lower) << "\n";
    return record.str();
}

// One URB a program submitted, until it reaps it.
struct Urb {
    UMockdevIoctlClient* client = nullptr;
    UMockdevIoctlData* data = nullptr;  // the struct usbdevfs_urb, a reference held
    unsigned char type = 0;
    unsigned endpoint = 0;
    std::size_t length = 0;
    std::optional<Completion> done;
};

usbdevfs_urb& UrbOf(UMockdevIoctlData* data) { return *reinterpret_cast<usbdevfs_urb*>(data->data); }

}  // namespace

struct UsbTestbed::State {
    UsbUnit& unit;
    UMockdevTestbed* testbed = nullptr;
    UMockdevIoctlBase* handler = nullptr;
    GSource* tick = nullptr;                    // on the worker thread's main context
    std::list<UMockdevIoctlClient*> clients;    // open device files, a reference held
    std::list<Urb> urbs;
    bool removed = false;
    std::string error;

    explicit State(UsbUnit& u) : unit(u) {}

    // The kernel's answer to a successful attach of a driver is 1.
    void Attached(UMockdevIoctlClient* client, int error_number) {
        if (error_number != 0) return Complete(client, error_number);
        umockdev_ioctl_client_complete(client, 1, 0);
    }

    void Complete(UMockdevIoctlClient* client, int error_number) {
        umockdev_ioctl_client_complete(client, error_number == 0 ? 0 : -1, error_number);
    }

    // The argument of the current request, `size` bytes of it resolved.
    static UMockdevIoctlData* Argument(UMockdevIoctlClient* client, std::size_t size) {
        return umockdev_ioctl_data_resolve(umockdev_ioctl_client_get_arg(client), 0, size, nullptr);
    }

    void Unplug() {
        if (removed) return;
        removed = true;
        for (Urb& urb : urbs)
            if (!urb.done) urb.done = Completion{-ESHUTDOWN, {}};
        // No uevent: the sender needs the preload library, which this
        // process does not run under. Programs find the device gone when
        // they look again, or when a request fails with ENODEV.
        umockdev_testbed_remove_device(testbed, kSysPath);
    }

    // Releasing the interface kills the program's transfers on its endpoints:
    // they end as cancelled.
    void KillBulk(UMockdevIoctlClient* client) {
        for (Urb& urb : urbs)
            if (urb.client == client && !urb.done && urb.type == USBDEVFS_URB_TYPE_BULK) urb.done = Completion{-ENOENT, {}};
    }

    void Submit(UMockdevIoctlClient* client) {
        UMockdevIoctlData* data = Argument(client, sizeof(usbdevfs_urb));
        if (!data) return Complete(client, EFAULT);
        const usbdevfs_urb& urb = UrbOf(data);
        Urb entry{client, data, urb.type, urb.endpoint, static_cast<std::size_t>(std::max(urb.buffer_length, 0)), {}};
        UMockdevIoctlData* buffer = entry.length == 0 ? nullptr
                                                      : umockdev_ioctl_data_resolve(data, offsetof(usbdevfs_urb, buffer),
                                                                                    entry.length, nullptr);
        const std::span<const std::uint8_t> bytes =
            buffer ? std::span<const std::uint8_t>(buffer->data, entry.length) : std::span<const std::uint8_t>{};
        if (entry.type == USBDEVFS_URB_TYPE_CONTROL) {
            if (bytes.size() < kSetupSize) return Complete(client, EINVAL);
            entry.done = unit.Control(client, std::span<const std::uint8_t, kSetupSize>(bytes.data(), kSetupSize),
                                      bytes.subspan(kSetupSize));
        } else if (entry.type == USBDEVFS_URB_TYPE_BULK && (entry.endpoint & kDirectionIn) == 0) {
            entry.done = unit.BulkOut(client, entry.endpoint, bytes);
        } else if (entry.type == USBDEVFS_URB_TYPE_BULK) {
            entry.done = unit.BulkIn(client, entry.endpoint, entry.length);
        } else {
            return Complete(client, EINVAL);
        }
        // The kernel refuses at once what the program may not do.
        if (entry.done && (entry.done->status == -EBUSY || entry.done->status == -EINVAL))
            return Complete(client, -entry.done->status);
        g_object_ref(data);
        urbs.push_back(std::move(entry));
        if (unit.Unplugged()) Unplug();
        Complete(client, 0);
    }

    void Reap(UMockdevIoctlClient* client) {
        // Bulk IN transfers still pending get what the unit now has, in order.
        for (Urb& urb : urbs) {
            if (urb.client != client || urb.done || removed || (urb.endpoint & kDirectionIn) == 0) continue;
            urb.done = unit.BulkIn(client, urb.endpoint, urb.length);
            if (!urb.done) break;
        }
        const auto ready = std::find_if(urbs.begin(), urbs.end(),
                                        [&](const Urb& urb) { return urb.client == client && urb.done; });
        if (ready == urbs.end()) return Complete(client, removed ? ENODEV : EAGAIN);

        usbdevfs_urb& urb = UrbOf(ready->data);
        const std::vector<std::uint8_t>& bytes = ready->done->bytes;
        const std::size_t offset = ready->type == USBDEVFS_URB_TYPE_CONTROL ? kSetupSize : 0;
        const std::size_t count = std::min(bytes.size(), ready->length - std::min(ready->length, offset));
        if (count > 0) {
            UMockdevIoctlData* buffer =
                umockdev_ioctl_data_resolve(ready->data, offsetof(usbdevfs_urb, buffer), ready->length, nullptr);
            if (buffer) std::memcpy(buffer->data + offset, bytes.data(), count);
        }
        urb.status = ready->done->status;
        urb.actual_length = static_cast<int>((ready->endpoint & kDirectionIn) || ready->type == USBDEVFS_URB_TYPE_CONTROL
                                                 ? count
                                                 : (urb.status == 0 ? ready->length : 0));
        UMockdevIoctlData* pointer = Argument(client, sizeof(void*));
        if (!pointer) return Complete(client, EFAULT);
        umockdev_ioctl_data_set_ptr(pointer, 0, ready->data);
        g_object_unref(ready->data);
        urbs.erase(ready);
        Complete(client, 0);
    }

    void Discard(UMockdevIoctlClient* client) {
        UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
        const gulong address = *reinterpret_cast<const gulong*>(arg->data);
        for (Urb& urb : urbs) {
            if (urb.client == client && urb.data->client_addr == address && !urb.done) {
                urb.done = Completion{-ENOENT, {}};
                return Complete(client, 0);
            }
        }
        Complete(client, EINVAL);
    }

    void DriverRequest(UMockdevIoctlClient* client) {
        UMockdevIoctlData* data = Argument(client, sizeof(usbdevfs_ioctl));
        if (!data) return Complete(client, EFAULT);
        const auto& request = *reinterpret_cast<const usbdevfs_ioctl*>(data->data);
        if (static_cast<unsigned long>(request.ioctl_code) == USBDEVFS_DISCONNECT)
            return Complete(client, unit.DetachDriver(client, request.ifno));
        if (static_cast<unsigned long>(request.ioctl_code) == USBDEVFS_CONNECT)
            return Attached(client, unit.AttachDriver(client, request.ifno));
        Complete(client, ENOTTY);
    }

    void DisconnectClaim(UMockdevIoctlClient* client) {
        UMockdevIoctlData* data = Argument(client, sizeof(usbdevfs_disconnect_claim));
        if (!data) return Complete(client, EFAULT);
        const auto& request = *reinterpret_cast<const usbdevfs_disconnect_claim*>(data->data);
        std::string driver;
        const int interface = static_cast<int>(request.interface);
        if (unit.GetDriver(interface, driver) == 0) {
            const bool named = std::strncmp(driver.c_str(), request.driver, sizeof request.driver) == 0;
            const bool keep = ((request.flags & USBDEVFS_DISCONNECT_CLAIM_IF_DRIVER) && !named) ||
                              ((request.flags & USBDEVFS_DISCONNECT_CLAIM_EXCEPT_DRIVER) && named);
            if (!keep && driver != "usbfs") unit.DetachDriver(client, interface);
        }
        Complete(client, unit.Claim(client, interface));
    }

    unsigned Unsigned(UMockdevIoctlClient* client, bool& ok) {
        UMockdevIoctlData* data = Argument(client, sizeof(unsigned));
        ok = data != nullptr;
        return ok ? *reinterpret_cast<const unsigned*>(data->data) : 0;
    }

    void Handle(UMockdevIoctlClient* client) {
        const gulong request = umockdev_ioctl_client_get_request(client);
        if (removed && request != USBDEVFS_REAPURB && request != USBDEVFS_REAPURBNDELAY)
            return Complete(client, ENODEV);
        bool ok = true;
        switch (request) {
            case USBDEVFS_GET_CAPABILITIES: {
                UMockdevIoctlData* data = Argument(client, sizeof(std::uint32_t));
                if (!data) return Complete(client, EFAULT);
                *reinterpret_cast<std::uint32_t*>(data->data) = kCapabilities;
                return Complete(client, 0);
            }
            case USBDEVFS_GETDRIVER: {
                UMockdevIoctlData* data = Argument(client, sizeof(usbdevfs_getdriver));
                if (!data) return Complete(client, EFAULT);
                auto& query = *reinterpret_cast<usbdevfs_getdriver*>(data->data);
                std::string name;
                const int result = unit.GetDriver(static_cast<int>(query.interface), name);
                if (result == 0) {
                    std::memset(query.driver, 0, sizeof query.driver);
                    std::memcpy(query.driver, name.data(), std::min(name.size(), sizeof query.driver - 1));
                }
                return Complete(client, result);
            }
            case USBDEVFS_IOCTL: return DriverRequest(client);
            case USBDEVFS_DISCONNECT_CLAIM: return DisconnectClaim(client);
            case USBDEVFS_CLAIMINTERFACE: {
                const unsigned interface = Unsigned(client, ok);
                return Complete(client, ok ? unit.Claim(client, static_cast<int>(interface)) : EFAULT);
            }
            case USBDEVFS_RELEASEINTERFACE: {
                const unsigned interface = Unsigned(client, ok);
                if (!ok) return Complete(client, EFAULT);
                const int result = unit.Release(client, static_cast<int>(interface));
                if (result == 0) KillBulk(client);
                return Complete(client, result);
            }
            case USBDEVFS_SETINTERFACE: {
                UMockdevIoctlData* data = Argument(client, sizeof(usbdevfs_setinterface));
                if (!data) return Complete(client, EFAULT);
                const auto& setting = *reinterpret_cast<const usbdevfs_setinterface*>(data->data);
                return Complete(client, unit.SetAlternate(client, static_cast<int>(setting.interface),
                                                          static_cast<int>(setting.altsetting)));
            }
            case USBDEVFS_SETCONFIGURATION: {
                const unsigned value = Unsigned(client, ok);
                return Complete(client, !ok ? EFAULT : value == kConfigurationValue ? 0 : EINVAL);
            }
            case USBDEVFS_CLEAR_HALT: {
                const unsigned endpoint = Unsigned(client, ok);
                return Complete(client, ok ? unit.ClearHalt(client, endpoint) : EFAULT);
            }
            case USBDEVFS_RESETEP:
            case USBDEVFS_RESET: return Complete(client, 0);
            case USBDEVFS_SUBMITURB: return Submit(client);
            case USBDEVFS_REAPURB:
            case USBDEVFS_REAPURBNDELAY: return Reap(client);
            case USBDEVFS_DISCARDURB: return Discard(client);
            default: return Complete(client, ENOTTY);
        }
    }

    // Every tick: a device file whose program closed it, or ended (killed
    // or not), is let go, as the kernel does; then the unit's time moves on.
    // (The test bed signals neither, but a closed file's stream is closed.)
    void Tick() {
        for (auto client = clients.begin(); client != clients.end();) {
            if (umockdev_ioctl_client_get_connected(*client)) {
                ++client;
                continue;
            }
            Gone(*client);
            g_object_unref(*client);
            client = clients.erase(client);
        }
        unit.Tick();
    }

    // A program closed the device file: what it held is let go.
    void Gone(UMockdevIoctlClient* client) {
        unit.ClientGone(client);
        for (auto urb = urbs.begin(); urb != urbs.end();) {
            if (urb->client != client) {
                ++urb;
                continue;
            }
            g_object_unref(urb->data);
            urb = urbs.erase(urb);
        }
    }
};

namespace {

gboolean OnIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer state) {
    static_cast<UsbTestbed::State*>(state)->Handle(client);
    return TRUE;
}

gboolean OnTick(gpointer state) {
    static_cast<UsbTestbed::State*>(state)->Tick();
    return G_SOURCE_CONTINUE;
}

// A client is held until it is gone, so that a new client is never taken
// for it by its address. The first one starts the ticks, on the worker
// thread's main context, where every request is handled too.
void OnClientConnected(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer data) {
    auto& state = *static_cast<UsbTestbed::State*>(data);
    state.clients.push_back(static_cast<UMockdevIoctlClient*>(g_object_ref(client)));
    if (state.tick) return;
    state.tick = g_timeout_source_new(kTickMs);
    g_source_set_callback(state.tick, OnTick, &state, nullptr);
    g_source_attach(state.tick, g_main_context_get_thread_default());
}

}  // namespace

UsbTestbed::UsbTestbed(UsbUnit& unit) : state_(std::make_unique<State>(unit)) {
    State& s = *state_;
    s.testbed = umockdev_testbed_new();
    s.handler = umockdev_ioctl_base_new();
    g_signal_connect(s.handler, "handle-ioctl", reinterpret_cast<GCallback>(OnIoctl), &s);
    g_signal_connect(s.handler, "client-connected", reinterpret_cast<GCallback>(OnClientConnected), &s);
    GError* error = nullptr;
    // The handler first, so that the device file answers as soon as it is there.
    if (!umockdev_testbed_attach_ioctl(s.testbed, kDeviceNode, s.handler, &error) ||
        !umockdev_testbed_add_from_string(s.testbed, DeviceRecord(unit.Serial()).c_str(), &error)) {
        s.error = error ? error->message : "cannot attach the USB device to the test bed";
        if (error) g_error_free(error);
    }
}

UsbTestbed::~UsbTestbed() {
    if (state_->tick) {
        g_source_destroy(state_->tick);
        g_source_unref(state_->tick);
    }
    for (UMockdevIoctlClient* client : state_->clients) g_object_unref(client);
    for (Urb& urb : state_->urbs) g_object_unref(urb.data);
    if (state_->testbed) g_object_unref(state_->testbed);
    if (state_->handler) g_object_unref(state_->handler);
}

bool UsbTestbed::Ok() const { return state_->error.empty(); }
const std::string& UsbTestbed::Error() const { return state_->error; }

std::string UsbTestbed::RootDir() const {
    gchar* root = umockdev_testbed_get_root_dir(state_->testbed);
    std::string dir = root ? root : "";
    g_free(root);
    return dir;
}

}  // namespace orlax::emulator::usb
