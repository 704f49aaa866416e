#include "search/display_name.h"

namespace zaptrove {

std::string_view fnDisplayNameView(std::string_view pPath) {
    const std::size_t slash = pPath.rfind('\\');
    if (slash != std::string_view::npos) {
        pPath.remove_prefix(slash + 1);
    }
    if (pPath.ends_with(".url")) {
        pPath.remove_suffix(4);
    }
    return pPath;
}

std::string fnDisplayName(std::string_view pPath) {
    return std::string(fnDisplayNameView(pPath));
}

} // namespace zaptrove
