#include "store/BuiltInCategories.h"

namespace kavelmark
{

const std::array<BuiltInCategory, 7> BuiltInCategoryTable = {{
    {"FTP", "User", "Password (*)", "Host", 4},
    {"DF\xDC", "User", "Password (*)", "Phone No", 3},
    {"TELNET", "User", "Password (*)", "Host", 0},
    {"Web-Site", "User", "Password (*)", "Host", 5},
    {"PIN/TAN", "Konto", "PIN (*)", "TAN (*)", 6},
    {"Datenbank", "User", "Password (*)", "Host", 1},
    {" Hmm?", "Key", "Password (*)", "Details", 7},
}};

} // namespace kavelmark
