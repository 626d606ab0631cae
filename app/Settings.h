// The seven settings of section "Config" in vlm.ini, with the defaults that
// every reader uses.
#pragma once

struct IntSetting {
    const char* key;
    int fallback;
};

struct TextSetting {
    const char* key;
    const char* fallback;
};

namespace settings {

inline constexpr char kSection[] = "Config";

inline constexpr IntSetting kResolution{"Resolution", 10};
inline constexpr IntSetting kSpeed{"Speed", 50};
inline constexpr IntSetting kChangeTimes{"ChangeTimes", 50};
inline constexpr TextSetting kFolder{"Folder", "C:\\"};
inline constexpr TextSetting kMidi{"Midi", "C:\\"};
inline constexpr IntSetting kVelmoraMode{"VelmoraMode", 1};
inline constexpr IntSetting kAdjustPictureSize{"AdjustPictureSize", 1};

}  // namespace settings
