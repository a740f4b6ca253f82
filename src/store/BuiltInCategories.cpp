#include "store/BuiltInCategories.h"

namespace kavelmark
{

const std::array<BuiltInCategory, 7> BuiltInCategoryTable = {{
    {"FTP", "User", "Password (*)", "Host"},
    {"DF\xDC", "User", "Password (*)", "Phone No"},
    {"TELNET", "User", "Password (*)", "Host"},
    {"Web-Site", "User", "Password (*)", "Host"},
    {"PIN/TAN", "Konto", "PIN (*)", "TAN (*)"},
    {"Datenbank", "User", "Password (*)", "Host"},
    {" Hmm?", "Key", "Password (*)", "Details"},
}};

} // namespace kavelmark
