#pragma once
// Listing lines for tests, in the layout every listing follows: the name in
// columns 1-68, the size right-aligned in columns 69-81, " bytes ", the date.

#include <string>

inline std::string entryLine(const std::string& name, const std::string& size, const std::string& date)
{
    return name + std::string(68 - name.size(), ' ') + std::string(13 - size.size(), ' ') + size + " bytes " +
        date + "\r\n";
}
