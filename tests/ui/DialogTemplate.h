// Reads a dialog template from the program's resources into plain values, to compare with what it must hold.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace uitest {

struct TemplateItem {
    DWORD style;
    DWORD exStyle;
    int x, y, cx, cy;
    int id;
    std::string className; // ordinals of the predefined classes are given as their names
    std::string text;      // an ordinal text (an icon's resource number) as "#128"
};

struct DialogTemplate {
    DWORD style;
    DWORD exStyle;
    int x, y, cx, cy;
    std::string menu;
    std::string className;
    std::string caption;
    int pointSize;
    std::string face;
    std::vector<TemplateItem> items;
};

// Fails the calling test when the template is missing.
DialogTemplate loadDialogTemplate(UINT id);

} // namespace uitest
