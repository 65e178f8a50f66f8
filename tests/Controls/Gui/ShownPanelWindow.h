#pragma once

#include "Controls/Panel.h"

#include <string>

namespace ZV::Testing {

// The top control of the desktop tests' windows: a panel that shows its look, which draws and holds its children.
class LShownPanel : public LPanel {
public:
    using LPanel::LPanel;
    ZVRESULT OnInitialized() override
    {
        (void)SelectLook(0);
        return LPanel::OnInitialized();
    }
};

// A string-table document of the application "Test" holding the tables given.
inline std::string TestStringTables(const std::string& tables)
{
    return "<Z-Vireo_StringTable_Definitions><Application Name=\"Test\">" + tables +
           "</Application></Z-Vireo_StringTable_Definitions>";
}

}  // namespace ZV::Testing
