#pragma once

#include "engine/PimWString.h"

#include <string_view>

// The program's folders and the settings file name. Every folder string ends with "\\" and
// uses "\\" between its parts; the file layer (PimFilePath) maps it to the platform's
// separator.
//
// Content folders lie beside the executable. The user folder is the local application-data
// folder followed by "Quillot"; saved games, the recycle bin, the models and the updates lie
// under it, as the constructor of the settings computes them once.
//
// A plain value; Locate reads the environment and may run on any thread.
struct SettingsFolders
{
    PimWString textures;
    PimWString shaders;
    PimWString sounds;
    PimWString texts;
    PimWString fonts;
    PimWString voxelIcons;
    PimWString licencesFile;
    PimWString userFolder;
    PimWString picturesFolder;
    PimWString savedGames;
    PimWString recycleBin;
    PimWString models;
    PimWString updates;

    static constexpr std::wstring_view SettingsFileName = L"settings.set";

    // The folders of this user and this executable:
    // - content: the folder of the running executable (/proc/self/exe), or the working
    //   directory (".") when that cannot be read;
    // - local application data: $XDG_DATA_HOME when it is an absolute path, else
    //   home + "/.local/share";
    // - pictures: XDG_PICTURES_DIR from $XDG_CONFIG_HOME/user-dirs.dirs (default
    //   home + "/.config"), else home + "/Pictures".
    // Home is $HOME when absolute, else the password database's entry. Without a home the
    // system's temporary folder stands in, and the fault is reported through PimAssert.
    static SettingsFolders Locate();

    // The folders derived from the three base folders, given in native form or with "\\".
    static SettingsFolders FromBases(std::wstring_view contentBase, std::wstring_view localDataFolder,
                                     std::wstring_view picturesFolder);

    // Places the user folder and the folders under it in another local application-data
    // folder; the content folders stay.
    void SetLocalDataFolder(std::wstring_view localDataFolder);

    // The system's temporary folder (native form), the stand-in for a missing home.
    static PimWString TemporaryFolder();

    // A native path ("/home/u") in the program's form ("\\home\\u"), without a trailing "\\".
    static PimWString ToProgramPath(std::wstring_view nativePath);

    // The pictures folder named in the text of a user-dirs.dirs file ("$HOME/..." or an
    // absolute path); empty when the file names none or one of another form.
    static PimWString ParsePicturesDir(std::string_view userDirsText, std::wstring_view home);
};
