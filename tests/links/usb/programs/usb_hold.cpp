// A program that holds the emulated unit's printer interface, as CUPS's usb
// backend does while it delivers a job; for the usb tests.
//
//   usb_hold MILLISECONDS READY_FILE   detach the kernel driver, claim the
//                                      interface, create READY_FILE, hold it,
//                                      release it and re-attach the driver
//   usb_hold --driver                  print the driver bound to the
//                                      interface ("none" when none)
#include <libusb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

constexpr std::uint16_t kVendor = 0x1209;
constexpr std::uint16_t kProduct = 0x0001;
constexpr int kInterface = 0;

int Fail(const char* what, int code) {
    std::fprintf(stderr, "usb_hold: %s: %s\n", what, libusb_error_name(code));
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string first = argc > 1 ? argv[1] : "";
    const bool driver = first == "--driver";
    if (!(driver && argc == 2) && argc != 3) {
        std::fprintf(stderr, "usage: usb_hold MILLISECONDS READY_FILE | usb_hold --driver\n");
        return 2;
    }
    libusb_context* context = nullptr;
    if (const int r = libusb_init(&context); r != 0) return Fail("libusb_init", r);
    libusb_device_handle* handle = libusb_open_device_with_vid_pid(context, kVendor, kProduct);
    if (!handle) return Fail("open 1209:0001", LIBUSB_ERROR_NOT_FOUND);
    int status = 0;
    if (driver) {
        const int active = libusb_kernel_driver_active(handle, kInterface);
        std::printf("%s\n", active == 1 ? "usblp" : active == 0 ? "none" : libusb_error_name(active));
    } else {
        const bool detached = libusb_kernel_driver_active(handle, kInterface) == 1 &&
                              libusb_detach_kernel_driver(handle, kInterface) == 0;
        if (const int r = libusb_claim_interface(handle, kInterface); r != 0) {
            status = Fail("claim", r);
        } else {
            if (FILE* ready = std::fopen(argv[2], "w")) std::fclose(ready);
            std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(argv[1])));
            libusb_release_interface(handle, kInterface);
        }
        if (detached) libusb_attach_kernel_driver(handle, kInterface);
    }
    libusb_close(handle);
    libusb_exit(context);
    return status;
}
