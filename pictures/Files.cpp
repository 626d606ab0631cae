#include "pictures/Files.h"

namespace pictures {

std::string NameOf(const std::string& path) { return path.substr(path.rfind('\\') + 1); }

bool NameMayBeCut(const std::string& path) { return NameOf(path).size() >= 255; }

}  // namespace pictures
