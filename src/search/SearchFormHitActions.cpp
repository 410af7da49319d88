// The actions on a hit: its popup menu and double click.

#include "search/SearchForm.h"

void SearchForm::HitList_MouseUp(std::int16_t Button, std::int16_t Shift, float x, float y)
{
    (void)Button;
    (void)Shift;
    (void)x;
    (void)y;
}

void SearchForm::HitList_DblClick() {}

void SearchForm::CtLaunch_Click() {}

void SearchForm::CTOpFolder_Click() {}

void SearchForm::ShowPreview_Click() {}

void SearchForm::CTQueue_Click() {}
