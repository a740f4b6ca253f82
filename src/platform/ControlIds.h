#pragma once

#include <array>

// The ids of the controls in the dialog templates, one namespace per window. The templates and
// the classes that look their controls up both take them from here.
namespace kavelmark::control
{

namespace main
{
inline constexpr int kEntryList = 1003;
inline constexpr int kFilter = 1005;
inline constexpr int kAdd = 1006;
inline constexpr int kDelete = 1007;
inline constexpr int kChange = 1008;
inline constexpr int kFilterLabel = 1025;
inline constexpr std::array<int, 3> kDetailLabels = {1010, 1011, 1012};
inline constexpr std::array<int, 3> kDetailFields = {1013, 1014, 1015};
} // namespace main

namespace edit
{
inline constexpr int kCategoryLabel = 1027;
inline constexpr int kCategoryList = 1017;
inline constexpr int kNameLabel = 1029;
inline constexpr int kName = 1019;
inline constexpr int kDescriptionLabel = 1028;
inline constexpr int kDescription = 1020;
inline constexpr std::array<int, 3> kLabels = {1010, 1011, 1012};
inline constexpr std::array<int, 3> kValues = {1013, 1014, 1015};
} // namespace edit

namespace login
{
inline constexpr int kPrompt = 1022;
inline constexpr int kPassword = 1021;
} // namespace login

namespace config
{
inline constexpr int kFileNameLabel = 1030;
inline constexpr int kFileName = 1031;
inline constexpr int kBrowse = 1032;
inline constexpr int kHideTimeLabel = 1033;
inline constexpr int kHideTime = 1034;
inline constexpr int kCipherLabel = 1035;
inline constexpr int kCipherList = 1048;
inline constexpr int kBlockModeLabel = 1036;
inline constexpr int kBlockModeList = 1049;
inline constexpr int kHardenedFormat = 1050;
} // namespace config

namespace about
{
inline constexpr int kIcon = 1040;
inline constexpr int kVersion = 1026;
inline constexpr int kBuildLine = 1023;
inline constexpr int kCopyright = 1036;
inline constexpr int kMaker = 1037;
inline constexpr int kMail = 1038;
inline constexpr int kMakerLink = 1039;
inline constexpr int kLayoutGroup = 1045;
inline constexpr int kLayoutNotice = 1043;
inline constexpr int kLayoutLink = 1035;
inline constexpr int kCryptoGroup = 1046;
inline constexpr int kCryptoNotice = 1044;
inline constexpr int kCryptoLink = 1041;
} // namespace about

namespace find
{
inline constexpr int kTextLabel = 1070;
inline constexpr int kText = 1071;
} // namespace find

namespace generator
{
inline constexpr int kLengthLabel = 1060;
inline constexpr int kLength = 1061;
inline constexpr int kUpper = 1062;
inline constexpr int kLower = 1063;
inline constexpr int kDigits = 1064;
inline constexpr int kSpecial = 1065;
inline constexpr int kCandidateLabel = 1066;
inline constexpr int kCandidate = 1067;
inline constexpr int kStrength = 1068;
inline constexpr int kNew = 1069;
} // namespace generator

} // namespace kavelmark::control
