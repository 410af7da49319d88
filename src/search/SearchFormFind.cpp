// The search over the listings.

#include "search/SearchForm.h"

void SearchForm::Find_Click() {}

void SearchForm::MenuListAll_Click() {}

void SearchForm::SearchListing(const QString& InpStr, const QString& FileName, std::int16_t MinMatch,
                               std::int32_t& LinesChecked, const QColor& TextColor)
{
    (void)InpStr;
    (void)FileName;
    (void)MinMatch;
    (void)LinesChecked;
    (void)TextColor;
}
