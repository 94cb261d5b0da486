// Window and control numbers of the Create Mapset window, and the texts its parts share.
#pragma once

namespace oxlo::builder {

inline constexpr int kCreateWindow = 1;

inline constexpr int kMapList = 0;
inline constexpr int kSelectMapsButton = 1;
inline constexpr int kDeleteMapButton = 2;
inline constexpr int kNameLabel = 3;
inline constexpr int kNameField = 4;
inline constexpr int kFolderLabel = 5;
inline constexpr int kFolderField = 6;
inline constexpr int kFolderButton = 7;
inline constexpr int kFamilyIdLabel = 8;
inline constexpr int kFamilyIdField = 9;
inline constexpr int kTypLabel = 10;
inline constexpr int kTypButton = 11;
inline constexpr int kInformationFrame = 12;
inline constexpr int kCancelButton = 13;
inline constexpr int kModeFrame = 14;
inline constexpr int kAutoToggle = 15;
inline constexpr int kCustomToggle = 16;
inline constexpr int kClearListButton = 17;
inline constexpr int kTypField = 18;
inline constexpr int kCreateButton = 19;
inline constexpr int kMapAttributeButton = 20;
inline constexpr int kAttributeFrame = 21;
inline constexpr int kPriorityLabel = 22;
inline constexpr int kTransparentLabel = 23;
inline constexpr int kPriorityField = 24;
inline constexpr int kTransparentBox = 25;
inline constexpr int kSaveAttributeButton = 26;
inline constexpr int kCompilerLabel = 27;
inline constexpr int kCompilerList = 28;

inline constexpr const char* kCreateWindowTitle = "Create Mapset";
// Where Auto mode puts every mapset, and Custom mode when no folder is given.
inline constexpr const char* kGarminFolder = "C:\\Garmin\\";
inline constexpr const char* kAutoBaseFolder = "C:\\Garmin\\Oxlo\\";

} // namespace oxlo::builder
