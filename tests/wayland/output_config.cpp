// SPDX-License-Identifier: MIT
// Changes KWin's outputs through KDE's output-management protocol, which no
// Debian tool here drives without crashing: each change names an output as
// wl_output does (Virtual-0, ...) and what to do with it, and all of them
// are applied together.
//
//   output-config NAME enable|disable|scale FACTOR [NAME ...]
//
// Exits 0 once KWin says it applied them, 1 when it refuses or lacks the
// protocol or the output, 2 for a bad command line.
#include "kde-output-device-v2-client-protocol.h"
#include "kde-output-management-v2-client-protocol.h"

#include <wayland-client.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

struct device {
    kde_output_device_v2* handle = nullptr;
    std::string name;
};

struct globals {
    kde_output_management_v2* management = nullptr;
    std::vector<std::unique_ptr<device>> devices;
    int outcome = -1;  // 0 applied, 1 failed, -1 not yet
};

void geometry(void*, kde_output_device_v2*, std::int32_t, std::int32_t, std::int32_t,
              std::int32_t, std::int32_t, const char*, const char*, std::int32_t) {}
void current_mode(void*, kde_output_device_v2*, kde_output_device_mode_v2*) {}
void mode(void*, kde_output_device_v2*, kde_output_device_mode_v2*) {}
void done(void*, kde_output_device_v2*) {}
void scale(void*, kde_output_device_v2*, wl_fixed_t) {}
void edid(void*, kde_output_device_v2*, const char*) {}
void enabled(void*, kde_output_device_v2*, std::int32_t) {}
void uuid(void*, kde_output_device_v2*, const char*) {}
void serial_number(void*, kde_output_device_v2*, const char*) {}
void eisa_id(void*, kde_output_device_v2*, const char*) {}
void capabilities(void*, kde_output_device_v2*, std::uint32_t) {}
void overscan(void*, kde_output_device_v2*, std::uint32_t) {}
void vrr_policy(void*, kde_output_device_v2*, std::uint32_t) {}
void rgb_range(void*, kde_output_device_v2*, std::uint32_t) {}
void name(void* data, kde_output_device_v2*, const char* text) {
    static_cast<device*>(data)->name = text;
}
const kde_output_device_v2_listener device_listener = {
    geometry, current_mode, mode,         done,       scale,     edid,      enabled, uuid,
    serial_number, eisa_id, capabilities, overscan, vrr_policy, rgb_range, name};

void applied(void* data, kde_output_configuration_v2*) { static_cast<globals*>(data)->outcome = 0; }
void failed(void* data, kde_output_configuration_v2*) { static_cast<globals*>(data)->outcome = 1; }
const kde_output_configuration_v2_listener configuration_listener = {applied, failed};

void added(void* data, wl_registry* registry, std::uint32_t id, const char* interface,
           std::uint32_t version) {
    auto& g = *static_cast<globals*>(data);
    if (std::strcmp(interface, kde_output_management_v2_interface.name) == 0) {
        g.management = static_cast<kde_output_management_v2*>(
            wl_registry_bind(registry, id, &kde_output_management_v2_interface, 1));
    } else if (std::strcmp(interface, kde_output_device_v2_interface.name) == 0 && version >= 2) {
        auto d = std::make_unique<device>();
        d->handle = static_cast<kde_output_device_v2*>(
            wl_registry_bind(registry, id, &kde_output_device_v2_interface, 2));
        kde_output_device_v2_add_listener(d->handle, &device_listener, d.get());
        g.devices.push_back(std::move(d));
    }
}
void removed(void*, wl_registry*, std::uint32_t) {}
const wl_registry_listener registry_listener = {added, removed};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: output-config NAME enable|disable|scale FACTOR [NAME ...]\n");
        return 2;
    }
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "output-config: no Wayland display\n");
        return 1;
    }
    globals g;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registry_listener, &g);
    wl_display_roundtrip(display);
    wl_display_roundtrip(display);
    if (g.management == nullptr) {
        std::fprintf(stderr, "output-config: the compositor offers no kde_output_management_v2\n");
        return 1;
    }
    kde_output_configuration_v2* configuration =
        kde_output_management_v2_create_configuration(g.management);
    kde_output_configuration_v2_add_listener(configuration, &configuration_listener, &g);
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string output = argv[i], change = argv[i + 1];
        kde_output_device_v2* handle = nullptr;
        for (const auto& d : g.devices) {
            if (d->name == output) handle = d->handle;
        }
        if (handle == nullptr) {
            std::fprintf(stderr, "output-config: no output %s\n", output.c_str());
            return 1;
        }
        if (change == "enable" || change == "disable") {
            kde_output_configuration_v2_enable(configuration, handle, change == "enable");
        } else if (change == "scale" && i + 2 < argc) {
            kde_output_configuration_v2_scale(configuration, handle,
                                              wl_fixed_from_double(std::atof(argv[i + 2])));
            ++i;
        } else {
            std::fprintf(stderr, "output-config: cannot %s\n", change.c_str());
            return 2;
        }
    }
    kde_output_configuration_v2_apply(configuration);
    while (g.outcome < 0 && wl_display_dispatch(display) >= 0) {
    }
    if (g.outcome != 0) std::fprintf(stderr, "output-config: the compositor refused the change\n");
    wl_display_disconnect(display);
    return g.outcome == 0 ? 0 : 1;
}
