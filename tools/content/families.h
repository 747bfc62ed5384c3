#pragma once

class ContentOutput;

// The families of generated assets, one source file each. A family writes its files below the
// content folder and returns false, after printing why, when it cannot. To add pictures or
// sounds: write a function here in its own file and add it to the list in main.cpp.

// The folder tree the program looks in (textures, shaders, fonts, sound, text, voxel icons).
bool GenerateFolders(const ContentOutput& output);
// "Graphics/Fonts/Font.png": the bitmap font of all text, from the input "font" (a monospaced
// TrueType face).
bool GenerateFont(const ContentOutput& output);
// "Graphics/Textures/VoxelTexturesTop1.png": the face atlas of the voxel chunks, one 32-pixel
// tile for each VoxelTile.
bool GenerateVoxelTextures(const ContentOutput& output);
// "Graphics/Textures/modelgrid.png": the ground plane's grid lines, one cell per voxel, crossing
// at the picture's centre.
bool GenerateModelGrid(const ContentOutput& output);
// "Graphics/Textures/TeleportReticle.png": the teleport target's ring, laid on the ground.
bool GenerateTeleportReticle(const ContentOutput& output);
// "Graphics/Textures/PlayButton.png", "TrashBin.png" and "ExitGameButton.png": the round buttons
// of the menu rooms (play, delete, back), in one style.
bool GenerateMenuButtons(const ContentOutput& output);
// The booths' panel pictures in the same round style, in "Graphics/Textures/": "WalkingFoot.png",
// "FlyingWing.png", "PersonIcon.png", "MasterVolume.png", "TeleportButton.png",
// "TouchWalkButton.png", "LeftHanded.png", "RightHanded.png", "ExitGame.png",
// "InGameCamera_On.png", "InGameCamera_Off.png", "FogColorIcon.png", "AutoCalibrate.png" and
// "HandColor.png".
bool GeneratePanelIcons(const ContentOutput& output);
// "Graphics/Textures/Tools_SingleVoxel.png" ... "Tools_Fill.png": the twelve icons of the tool
// panel, one per tool, in one style.
bool GenerateToolIcons(const ContentOutput& output);
// "Graphics/Textures/Trigger_0.png" ... "Trigger_9.png" (a controller's trigger from rest to fully
// pulled) and "TutorialMenuButton.png" (its menu button lit): the first-time guide's pictures.
bool GenerateTutorialPictures(const ContentOutput& output);
// "Graphics/Textures/DownloadButton.png", "ContinueButton.png" and "CancelButton.png": the update
// page's round buttons.
bool GenerateUpdateButtons(const ContentOutput& output);
// The round buttons of the selection box and the held copy, in "Graphics/Textures/":
// "ExitMenuButton.png", "CopyButton.png", "CutButton.png", "MoveButton.png", "MirrorButton.png"
// and "RotateButton.png" (the box's play button is the menus' "PlayButton.png").
bool GenerateSelectionButtons(const ContentOutput& output);
// The palette wall's pictures in the round style, in "Graphics/Textures/": "Selection1.png",
// "Selection2.png" and "Selection3.png" (the palette buttons' numerals), "Lock.png" (a closed
// padlock), "UnLocked.png" (an open padlock) and "BreakLock.png" (a padlock breaking open).
bool GeneratePalettePictures(const ContentOutput& output);
// "Graphics/Textures/UpDirectory.png" (a folder with an arrow up) and "HomeDirectory.png" (a
// house): the file browser's round buttons.
bool GenerateBrowserButtons(const ContentOutput& output);
// The reference-image row's round buttons, in "Graphics/Textures/": "ReferenceImageButton.png" (a
// framed picture with a plus: choose a picture), "VisibleButton.png" (an open eye) and
// "InvisibleButton.png" (the eye crossed out).
bool GenerateReferenceImageButtons(const ContentOutput& output);
// "Graphics/Textures/TitleScreen.png": the title picture shown while the main menu is prepared.
bool GenerateTitleScreen(const ContentOutput& output);
// "VoxelIcons/NewModel.vic" and "LoadModels.vic" (voxel models in the region file format) and the
// 64 x 64 pictures "VoxelIcons/Settings.png" and "Exit.png": the main menu's four objects.
bool GenerateVoxelIcons(const ContentOutput& output);
// "Sound/Menu/buttonClick.wav", "menuButton.wav", "deleteFile.wav" and "ballBounce.wav": the menu
// sounds.
bool GenerateMenuSounds(const ContentOutput& output);
