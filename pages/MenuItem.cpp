#include "pages/MenuItem.h"

void MenuItem::MoveTo(const PimVector3& newPosition)
{
    position = newPosition;
    if (model)
        model->SetBase(ContentBase());
    if (picture)
        picture->SetPosition(ContentBase());
}
