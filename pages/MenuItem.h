#pragma once

#include "pages/PictureCube.h"
#include "pages/PictureModel.h"

#include "engine/Pim3DText.h"
#include "engine/PimVector3.h"
#include "engine/PimWString.h"

#include <cstdint>
#include <memory>

// One selectable object on a pedestal of a menu room: a voxel model or a picture turned into
// voxels (model), or a thumbnail shown in a picture cube (picture), with a label floating above.
// Its position is the pedestal's top voxel; the content stands on it. Index -1 marks an item
// whose buttons are no longer shown (its model was deleted). Owned by its page. Main thread only.
struct MenuItem
{
    // The entry the item stands for (a saved model's folder name); the label shows it in upper case.
    PimWString name;
    PimVector3 position;
    std::int32_t index = 0;
    Pim3DText label;
    std::unique_ptr<PictureModel> model;
    std::unique_ptr<PictureCube> picture;
    // The modification time of the picture file shown, so a reused item reads it again only
    // when it changed.
    std::int64_t pictureTime = 0;

    // Where the content stands: on top of the pedestal's top voxel.
    PimVector3 ContentBase() const { return position + PimVector3(0.0f, 1.0f, 0.0f); }
    // Moves the item and its content.
    void MoveTo(const PimVector3& newPosition);
};
