#pragma once

#include <QString>

#include "app/FileChooser.h"

namespace kavelmark
{

// The platform's save-as dialog behind FileChooser.
class QtSaveAsDialog final : public SaveAsDialog
{
public:
    std::optional<std::string> Run(const std::string& initialName, const std::string& filter) override;

    // "Description|pattern|...||" as Qt name filters ("Description (pattern)" per line).
    static QString ToNameFilters(const std::string& filter);
};

} // namespace kavelmark
