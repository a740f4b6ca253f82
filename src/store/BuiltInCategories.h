#pragma once

#include <array>
#include <string_view>

namespace kavelmark
{

struct BuiltInCategory
{
    std::string_view name;
    std::string_view label1;
    std::string_view label2;
    std::string_view label3;
    // The category's picture in the entry list's image list.
    int image;
};

// The categories every store holds, in the order they are appended. Texts are cp1252 bytes.
extern const std::array<BuiltInCategory, 7> BuiltInCategoryTable;

} // namespace kavelmark
