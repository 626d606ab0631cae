#include "pictures/PictureCycle.h"

namespace pictures {

bool IsSubFolder(bool isFolder, const std::string& path)
{
    return isFolder && !path.empty() && path.back() != '.';
}

std::string ListingPattern(const std::string& folder) { return folder + "\\*"; }

bool NameMayBeCut(const std::string& path)
{
    const std::string::size_type slash = path.rfind('\\');
    return path.size() - (slash == std::string::npos ? 0 : slash + 1) >= 255;
}

Extent FitToThird(Extent picture, int width, int height)
{
    if (picture.cx <= 0 || picture.cy <= 0)
        return picture;
    const double w = picture.cx;
    const double h = picture.cy;
    if (picture.cx > picture.cy) {
        const int third = width / 3;
        return {third, static_cast<int>(h / w * third)};
    }
    const int third = height / 3;
    return {static_cast<int>(w / h * third), third};
}

}  // namespace pictures
