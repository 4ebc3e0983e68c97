#include "links/schemes.h"

#include <algorithm>
#include <cctype>

namespace orlax::links {

bool HasScheme(std::string_view uri, std::string_view scheme) {
    const std::size_t colon = uri.find(':');
    if (colon == std::string_view::npos || colon != scheme.size()) return false;
    return std::equal(scheme.begin(), scheme.end(), uri.begin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    });
}

DeviceLinks::DeviceLinks(std::span<const Scheme> schemes) : schemes_(schemes), makers_(schemes.size()) {}

DeviceLinks::~DeviceLinks() = default;

Chosen DeviceLinks::Choose(std::string_view uri) {
    if (uri.empty()) return {nullptr, LinkResult::NoDeviceUri, {}};
    for (std::size_t i = 0; i < schemes_.size(); ++i) {
        const Scheme& scheme = schemes_[i];
        if (!HasScheme(uri, scheme.name)) continue;
        if (!makers_[i]) makers_[i] = scheme.start();
        std::unique_ptr<StatusLink> link = makers_[i]->Open(uri);
        if (!link) return {nullptr, scheme.malformed, std::string(uri)};
        return {std::move(link), LinkResult::Ok, {}};
    }
    return {nullptr, LinkResult::NoStatusPath, std::string(uri)};
}

}  // namespace orlax::links
