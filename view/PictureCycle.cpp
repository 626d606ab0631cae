#include "view/PictureCycle.h"

namespace pictures {

bool IsCacheCandidate(bool isFolder, const std::string& path)
{
    return isFolder && !path.empty() && path.back() != '.';
}

std::string PicturePattern(const std::string& folder) { return folder + "\\*.jpg"; }

bool IsSubFolder(bool isFolder, const std::string& path) { return IsCacheCandidate(isFolder, path); }

std::string ListingPattern(const std::string& folder) { return folder + "\\*"; }

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
