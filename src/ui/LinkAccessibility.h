#pragma once

class QLabel;

namespace kavelmark
{

// Shows a label that stands for a web link to screen readers as a link, named by its text,
// whose press action opens it as the Return key does; Qt reads every label as static text.
void InstallLinkAccessibility();

void MarkAsLink(QLabel& label);

} // namespace kavelmark
