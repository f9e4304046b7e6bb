#pragma once

#include <string>

namespace bench {

// How many entries of each kind a crowded folder holds.
struct FolderMix {
    int EmptyPictures = 0; // "IMG_00001.jpg", empty
    int SmallPictures = 0; // "DSC00001.JPG" and "Photo 1.Jpg", a few hundred bytes
    int OtherFiles = 0;    // ".txt", ".jpeg", ".png", ".jpg.bak", "jpg": never listed
    int Folders = 0;       // sub-folders, some named like pictures
    int Total() const { return EmptyPictures + SmallPictures + OtherFiles + Folders; }
    // Entries a picture search lists: the pictures and the folders named
    // like one (every fourth).
    int Matching() const { return EmptyPictures + SmallPictures + (Folders + 3) / 4; }
};

// The mix for a folder of about `entries` entries: mostly pictures, a fifth
// other names.
FolderMix MixFor(int entries);

// Fills the (empty) folder with the mix. Throws std::runtime_error when a
// file cannot be made.
void MakeCrowdedFolder(const std::string& folder, const FolderMix& mix);

} // namespace bench
